// The locations service: the build tree and an installed tree, the user's own
// copies before the shipped ones, and the "*ZORP*" token both ways.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "rom/Locations.h"
#include "rom/LockOn.h"
#include "rom/PubFunctions.h"
#include "RomTestFiles.h"

using namespace zorp;
using namespace romtest;

namespace {

const InstallLayout kLayout{"bin", "share/zorp", "lib/x86_64-linux-gnu/zorp"};

// Restores the process-wide locations after each test.
class LocationsTest : public ::testing::Test {
protected:
    void TearDown() override { SetLocations(saved_); }
    Locations saved_ = CurrentLocations();
    ScratchDir dir_;
};

void Touch(const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteText(path, "x");
}

} // namespace

TEST_F(LocationsTest, BuildTreeAndInstalledTreeAreToldApart)
{
    // Build tree: ROM_DEF.RDEF beside the executable, even in a folder named bin.
    const std::string buildBin = dir_.file("build/bin");
    Touch(buildBin + "/ROM_DEF.RDEF");
    const Locations build = LocationsForExecutable(buildBin + "/", "/home/u/data", kLayout);
    EXPECT_FALSE(build.installed);
    EXPECT_EQ(build.dataDir, buildBin);
    EXPECT_EQ(build.codecDir, buildBin);
    EXPECT_EQ(build.userDir, "/home/u/data");

    // Installed: the data and the codec around the prefix.
    const std::string prefix = dir_.file("usr");
    const Locations installed = LocationsForExecutable(prefix + "/bin", "", kLayout);
    EXPECT_TRUE(installed.installed);
    EXPECT_EQ(installed.dataDir, prefix + "/share/zorp");
    EXPECT_EQ(installed.codecDir, prefix + "/lib/x86_64-linux-gnu/zorp");
    EXPECT_EQ(LocationsForExecutable("/bin", "", kLayout).dataDir, "/share/zorp");

    // Neither: beside the executable, as before.
    const Locations loose = LocationsForExecutable(dir_.file("tools"), "", kLayout);
    EXPECT_FALSE(loose.installed);
    EXPECT_EQ(loose.dataDir, dir_.file("tools"));
    EXPECT_FALSE(LocationsForExecutable(dir_.file("sbin"), "", kLayout).installed); // a whole name must match

    SetLocations(installed);
    EXPECT_EQ(AppFilePath("ROM_DEF.RDEF"), prefix + "/share/zorp/ROM_DEF.RDEF");
    EXPECT_EQ(CodecLibraryPath(), prefix + "/lib/x86_64-linux-gnu/zorp/libostrel.so");
    EXPECT_EQ(UserFilePath("S2K_EXTRA.BIN"), prefix + "/share/zorp/S2K_EXTRA.BIN"); // no user folder
}

TEST_F(LocationsTest, UserCopiesComeBeforeShippedOnes)
{
    const std::string shipped = dir_.file("share/zorp");
    const std::string user = dir_.file("home/ZORP-II");
    for (const char* name : {"ROM_DEF.RDEF", "S2.ZORP", "S3.ZORP"})
        Touch(shipped + "/" + name);
    Touch(user + "/S2.ZORP");
    Touch(user + "/ROM_DEF.RDEF");
    SetLocations({shipped + "/", shipped, user + "/", true});

    EXPECT_EQ(AppFilePath("ROM_DEF.RDEF"), user + "/ROM_DEF.RDEF");
    EXPECT_EQ(AppFilePath("S3.ZORP"), shipped + "/S3.ZORP");
    EXPECT_EQ(AppFilePath("S1.ZORP"), shipped + "/S1.ZORP"); // missing everywhere: the shipped name
    EXPECT_EQ(UserFilePath("S2K_EXTRA.BIN"), user + "/S2K_EXTRA.BIN");
    // A missing extra image is asked for where the user can put it.
    const S2ExtraLoad extra = LoadS2ExtraImage();
    ASSERT_FALSE(extra.ok());
    EXPECT_NE(extra.error->text().find(user + "/S2K_EXTRA.BIN"), std::string::npos);

    EXPECT_EQ(ExpandProgramDir("*ZORP*/S2.ZORP"), user + "/S2.ZORP");
    EXPECT_EQ(ExpandProgramDir("*ZORP*\\S3.ZORP"), shipped + "/S3.ZORP");
    EXPECT_EQ(ExpandProgramDir("*ZORP*"), shipped);
    EXPECT_EQ(CollapseProgramDir(user + "/S2.ZORP"), "*ZORP*/S2.ZORP");
    EXPECT_EQ(CollapseProgramDir(shipped + "/S3.ZORP"), "*ZORP*/S3.ZORP");
    // The shipped S2.ZORP chosen on purpose stays the shipped one, although
    // the user's copy of that name comes first under "*ZORP*".
    EXPECT_EQ(CollapseProgramDir(shipped + "/S2.ZORP"), "*SHIPPED*/S2.ZORP");
    EXPECT_EQ(ExpandProgramDir("*SHIPPED*/S2.ZORP"), shipped + "/S2.ZORP");
    EXPECT_EQ(ExpandProgramDir("*shipped*\\S3.ZORP"), shipped + "/S3.ZORP");
}

struct TokenCase {
    const char* stored;
    const char* expanded; // with the shipped templates in /opt/zorp
};

TEST_F(LocationsTest, TokenExpandsAndCollapses)
{
    SetLocations({"/opt/zorp/", "/opt/zorp", "", false});
    const TokenCase cases[] = {
        {"*ZORP*/S2.ZORP", "/opt/zorp/S2.ZORP"},
        {"*zorp*/S2.ZORP", "/opt/zorp/S2.ZORP"},
        {"*ZORP*\\S2.ZORP", "/opt/zorp/S2.ZORP"},      // stored on another system
        {"/home/u/*ZORP*/x", "/home/u/*ZORP*/x"},      // token not at the start
        {"/home/u/S2.ZORP", "/home/u/S2.ZORP"},
    };
    for (const TokenCase& c : cases)
        EXPECT_EQ(ExpandProgramDir(c.stored), c.expanded) << c.stored;

    EXPECT_EQ(CollapseProgramDir("/opt/zorp/templates/S2.ZORP"), "*ZORP*/templates/S2.ZORP");
    EXPECT_EQ(CollapseProgramDir("/OPT/ZORP/S2.ZORP"), "*ZORP*/S2.ZORP");
    EXPECT_EQ(CollapseProgramDir("/opt/zorp2/S2.ZORP"), "/opt/zorp2/S2.ZORP"); // a different folder
    for (const char* p : {"/opt/zorp/S1.ZORP", "/opt/zorp/a/b/c.ZORP", "/elsewhere/x.ZORP"})
        EXPECT_EQ(ExpandProgramDir(CollapseProgramDir(p)), p);

    // A setting stored by a build-tree run names the same template once installed.
    const std::string stored = CollapseProgramDir("/opt/zorp/S2.ZORP");
    SetLocations(LocationsForExecutable("/usr/bin", "", kLayout));
    EXPECT_EQ(ExpandProgramDir(stored), "/usr/share/zorp/S2.ZORP");
    EXPECT_EQ(CollapseProgramDir("/usr/share/zorp/S2.ZORP"), stored);
}

TEST_F(LocationsTest, UserDataFolderFollowsXdgDataHome)
{
    const std::string savedData = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    const bool hadData = std::getenv("XDG_DATA_HOME") != nullptr;
    setenv("XDG_DATA_HOME", "/xdg/data", 1);
    EXPECT_EQ(DefaultUserDataDir(), "/xdg/data/ZORP-II/Sonic the Hedgehog Quorvane");
    setenv("XDG_DATA_HOME", "relative", 1); // ignored, as the XDG rules say
    setenv("HOME", std::getenv("HOME") ? std::getenv("HOME") : "/root", 1);
    EXPECT_EQ(DefaultUserDataDir(), std::string(std::getenv("HOME")) + "/.local/share/ZORP-II/Sonic the Hedgehog Quorvane");
    if (hadData)
        setenv("XDG_DATA_HOME", savedData.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}
