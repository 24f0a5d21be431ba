#pragma once
// A private machine for one test: a temporary folder holding drive C: and,
// where the test asks, the per-user folder and a program folder made
// current. The environment and the current folder are put back and the
// whole folder is removed when the machine goes, so no test sees another's
// files or settings.
#include <filesystem>
#include <string>
#include <vector>

class TTempMachine {
public:
    // Tag names the folder (/tmp/zelmor-<Tag>-XXXXXX), so one left behind by
    // a killed run tells which tests made it. Throws when no folder can be made.
    explicit TTempMachine(const std::string& Tag);
    ~TTempMachine();
    TTempMachine(const TTempMachine&) = delete;
    TTempMachine& operator=(const TTempMachine&) = delete;

    const std::filesystem::path& Root() const { return FRoot; }
    // Root/c, created, and what ZELMOR_DRIVE_C names.
    const std::filesystem::path& DriveC() const { return FDriveC; }
    // Points ZELMOR_USER_DIR at Root/user and gives that path. The folder is
    // not made: the program makes it on its first write.
    std::filesystem::path UseUserDir();
    // Creates Root/Name and makes it the current folder; gives its path.
    std::filesystem::path EnterProgram(const std::string& Name);

private:
    struct TSavedVariable {
        std::string Name, Value;
        bool Had = false;
    };
    void SetVariable(const char* Name, const std::filesystem::path& Value);

    std::filesystem::path FRoot, FDriveC, FOldCwd;
    std::vector<TSavedVariable> FSaved;
};
