#pragma once
// A private machine for each test: a temporary folder holding drive C:, the
// per-user folder and the program folder, which is made current. Everything
// is put back and removed afterwards, and the settings store is read afresh.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/sys/Registry.h"
#include "tests/support/TempMachine.h"

class SysFixture : public ::testing::Test {
protected:
    std::filesystem::path Root, DriveC, User, Program;

    void SetUp() override {
        FMachine.emplace("sys");
        Root = FMachine->Root();
        DriveC = FMachine->DriveC();
        User = FMachine->UseUserDir();
        Program = FMachine->EnterProgram("programa");
        ResetRegistryStore();
    }

    void TearDown() override {
        FMachine.reset();
        ResetRegistryStore();
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
    std::optional<TTempMachine> FMachine;
};
