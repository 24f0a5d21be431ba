#pragma once
// A private machine for each test: a temporary folder holding drive C:, the
// per-user folder and the program folder, which is made current. Everything
// is put back and removed afterwards.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/sys/Registry.h"

class SysFixture : public ::testing::Test {
protected:
    std::filesystem::path Root, DriveC, User, Program;

    void SetUp() override {
        char tmpl[] = "/tmp/zelmor-sys-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        Root = tmpl;
        DriveC = Root / "c";
        User = Root / "user";
        Program = Root / "programa";
        std::filesystem::create_directories(DriveC);
        std::filesystem::create_directories(Program);
        Save("ZELMOR_DRIVE_C", FOldDrive, FHadDrive);
        Save("ZELMOR_USER_DIR", FOldUser, FHadUser);
        ::setenv("ZELMOR_DRIVE_C", DriveC.c_str(), 1);
        ::setenv("ZELMOR_USER_DIR", User.c_str(), 1);
        FOldCwd = std::filesystem::current_path();
        std::filesystem::current_path(Program);
        ResetRegistryStore();
    }

    void TearDown() override {
        std::filesystem::current_path(FOldCwd);
        Restore("ZELMOR_DRIVE_C", FOldDrive, FHadDrive);
        Restore("ZELMOR_USER_DIR", FOldUser, FHadUser);
        ResetRegistryStore();
        std::error_code ec;
        std::filesystem::permissions(Root, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(Root, ec);
    }

    static void Touch(const std::filesystem::path& P, const std::string& Bytes = "") {
        std::filesystem::create_directories(P.parent_path());
        std::ofstream(P, std::ios::binary) << Bytes;
    }
    static std::string Contents(const std::filesystem::path& P) {
        std::ifstream f(P, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }

private:
    static void Save(const char* Name, std::string& Old, bool& Had) {
        const char* v = std::getenv(Name);
        Had = v != nullptr;
        Old = v ? v : "";
    }
    static void Restore(const char* Name, const std::string& Old, bool Had) {
        if (Had) ::setenv(Name, Old.c_str(), 1);
        else ::unsetenv(Name);
    }
    std::filesystem::path FOldCwd;
    std::string FOldDrive, FOldUser;
    bool FHadDrive = false, FHadUser = false;
};
