#include "tests/support/TempMachine.h"

#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <system_error>

TTempMachine::TTempMachine(const std::string& Tag) {
    std::string pattern = "/tmp/zelmor-" + Tag + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder for " + Tag);
    FRoot = pattern;
    FDriveC = FRoot / "c";
    std::filesystem::create_directories(FDriveC);
    SetVariable("ZELMOR_DRIVE_C", FDriveC);
}

TTempMachine::~TTempMachine() {
    std::error_code ec;
    if (!FOldCwd.empty()) std::filesystem::current_path(FOldCwd, ec);
    for (auto v = FSaved.rbegin(); v != FSaved.rend(); ++v) {
        if (v->Had) ::setenv(v->Name.c_str(), v->Value.c_str(), 1);
        else ::unsetenv(v->Name.c_str());
    }
    // A test may have taken the write bit from the folder to see a refusal.
    std::filesystem::permissions(FRoot, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(FRoot, ec);
}

std::filesystem::path TTempMachine::UseUserDir() {
    std::filesystem::path user = FRoot / "user";
    SetVariable("ZELMOR_USER_DIR", user);
    return user;
}

std::filesystem::path TTempMachine::EnterProgram(const std::string& Name) {
    std::filesystem::path program = FRoot / Name;
    std::filesystem::create_directories(program);
    if (FOldCwd.empty()) FOldCwd = std::filesystem::current_path();
    std::filesystem::current_path(program);
    return program;
}

// Only the first value seen is kept, so setting a variable twice still puts
// back what the test run began with.
void TTempMachine::SetVariable(const char* Name, const std::filesystem::path& Value) {
    bool known = false;
    for (const auto& v : FSaved) known = known || v.Name == Name;
    if (!known) {
        const char* old = std::getenv(Name);
        FSaved.push_back({Name, old ? old : "", old != nullptr});
    }
    ::setenv(Name, Value.c_str(), 1);
}
