// Where a program finds a file the user names by its bare name: the working
// folder first, then the shipped data beside the program (for this test
// program: build/share/kestrin), in the order of the subfolders given.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "vazplatform/shipped_data.h"

namespace fs = std::filesystem;
using vazplat::FindShippedFile;

namespace {

// A shipped folder of the test's own under SHIPPED/platform-test-PID/{a,b}
// and an empty working folder; both removed afterwards.
class ShippedData : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(vazplat::ShippedDataFolder().empty());
        sub_ = "platform-test-" + std::to_string(::getpid());
        shipped_ = fs::path(vazplat::ShippedDataFolder()) / sub_;
        fs::create_directories(shipped_ / "a");
        fs::create_directories(shipped_ / "b");
        work_ = fs::temp_directory_path() / ("shipped-work-" + std::to_string(::getpid()));
        fs::create_directories(work_);
        old_ = fs::current_path();
        fs::current_path(work_);
    }
    void TearDown() override {
        fs::current_path(old_);
        fs::remove_all(shipped_);
        fs::remove_all(work_);
    }
    static void Touch(const fs::path& p) { std::ofstream(p) << "x\n"; }
    std::string A() const { return sub_ + "/a"; }
    std::string B() const { return sub_ + "/b"; }

    std::string sub_;
    fs::path shipped_, work_, old_;
};

TEST_F(ShippedData, ABareNameMissingHereIsFoundAmongTheShippedFiles) {
    Touch(shipped_ / "b" / "deck.ini");
    EXPECT_EQ(FindShippedFile("deck.ini", {A().c_str(), B().c_str()}), (shipped_ / "b" / "deck.ini").string());
}

TEST_F(ShippedData, TheFirstSubfolderThatHoldsTheFileWins) {
    Touch(shipped_ / "a" / "deck.ini");
    Touch(shipped_ / "b" / "deck.ini");
    EXPECT_EQ(FindShippedFile("deck.ini", {A().c_str(), B().c_str()}), (shipped_ / "a" / "deck.ini").string());
}

TEST_F(ShippedData, AFileInTheWorkingFolderComesBeforeTheShippedOne) {
    Touch(shipped_ / "a" / "deck.ini");
    Touch(work_ / "deck.ini");
    EXPECT_EQ(FindShippedFile("deck.ini", {A().c_str()}), "deck.ini");
}

TEST_F(ShippedData, PathsAndUnknownNamesStayAsTheUserWroteThem) {
    Touch(shipped_ / "a" / "deck.ini");
    EXPECT_EQ(FindShippedFile("sub/deck.ini", {A().c_str()}), "sub/deck.ini");
    EXPECT_EQ(FindShippedFile("/nowhere/deck.ini", {A().c_str()}), "/nowhere/deck.ini");
    EXPECT_EQ(FindShippedFile("other.ini", {A().c_str()}), "other.ini");
    EXPECT_EQ(FindShippedFile("", {A().c_str()}), "");
    // A folder of that name is not a file.
    fs::create_directories(shipped_ / "a" / "folder.ini");
    EXPECT_EQ(FindShippedFile("folder.ini", {A().c_str()}), "folder.ini");
}

}  // namespace
