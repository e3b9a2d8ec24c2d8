// Path resolution, existence, deletion and folder listing of the os stand-in,
// over a real folder tree written in the test's temporary directory.
#include <sys/stat.h>

#include <string>
#include <vector>

#include "Platform/os/os.h"
#include "test_support.h"

namespace {

class PathsTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override {
    m2dtest::TempDirTest::SetUp();
    m2dtest::WriteFile("DATA/vths.dat", "v");
    m2dtest::WriteFile("DATA/Sub/x.txt", "x");
    // Two spellings of one name: an exact match must win, otherwise the first
    // in byte order ("Abc" < "abc").
    m2dtest::WriteFile("Abc/f.txt", "upper");
    m2dtest::WriteFile("abc/f.txt", "lower");
  }
};

TEST_F(PathsTest, ResolvesEachComponentAgainstTheDisk) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case kCases[] = {
      {".\\data\\vths.dat", "./DATA/vths.dat"},
      {"data/VTHS.DAT", "DATA/vths.dat"},
      {"DATA\\sub\\X.TXT", "DATA/Sub/x.txt"},
      {"data\\\\vths.dat", "DATA/vths.dat"},           // a run of separators is one
      {"data\\", "DATA/"},                              // trailing separator kept
      {"abc\\f.txt", "abc/f.txt"},                      // exact beats case-insensitive
      {"Abc/F.TXT", "Abc/f.txt"},
      {"ABC\\f.txt", "Abc/f.txt"},                      // first in name order
      {"aBC/f.txt", "Abc/f.txt"},
      {"data\\new.dat", "DATA/new.dat"},                // new file in a found folder
      {"DATA\\missing\\new.dat", "DATA/missing/new.dat"},
      {"nothere/Data/vths.dat", "nothere/Data/vths.dat"},  // after a miss, as written
      {"data\\..\\data\\.\\vths.dat", "DATA/../DATA/./vths.dat"},
      {"", ""},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(os::ResolvePath(c.in), c.out) << "input: " << c.in;
  }
  EXPECT_EQ(os::ResolvePath(nullptr), "");
  std::string abs = Dir();
  for (char& ch : abs) ch = ch == '/' ? '\\' : ch;
  EXPECT_EQ(os::ResolvePath((abs + "\\data\\Vths.dat").c_str()), Dir() + "/DATA/vths.dat");
}

TEST_F(PathsTest, ExistsAndDeleteGoThroughResolution) {
  EXPECT_TRUE(os::FileExists(".\\data\\VTHS.dat"));
  EXPECT_TRUE(os::FileExists("data"));  // a folder counts
  EXPECT_FALSE(os::FileExists("data\\nothing.dat"));
  EXPECT_FALSE(os::FileExists(""));

  EXPECT_FALSE(os::DeleteFile("data\\sub"));  // folders are not deleted
  EXPECT_TRUE(m2dtest::FileExists("DATA/Sub"));
  EXPECT_TRUE(os::DeleteFile(".\\Data\\VTHS.DAT"));
  EXPECT_FALSE(m2dtest::FileExists("DATA/vths.dat"));
  EXPECT_FALSE(os::DeleteFile(".\\data\\vths.dat"));
}

TEST_F(PathsTest, FindFilesMatchesNamesWithoutCaseAndSortsThem) {
  for (const char* name : {"b.xml", "A.XML", "c.Xml", "_x.xml", "a.pak", "z.xmlx", "xml"}) {
    m2dtest::WriteFile(std::string("DATA/") + name, "");
  }
  ::mkdir("DATA/d.xml", 0755);  // a folder is not listed

  using V = std::vector<std::string>;
  EXPECT_EQ(os::FindFiles(".\\data\\*.xml"), (V{"A.XML", "_x.xml", "b.xml", "c.Xml"}));
  EXPECT_EQ(os::FindFiles("./DATA/*.pak"), (V{"a.pak"}));
  EXPECT_EQ(os::FindFiles("data/?.XML"), (V{"A.XML", "b.xml", "c.Xml"}));
  EXPECT_EQ(os::FindFiles("data/*x*l*"), (V{"A.XML", "_x.xml", "b.xml", "c.Xml", "xml", "z.xmlx"}));
  EXPECT_EQ(os::FindFiles("DATA\\VTHS.DAT"), (V{"vths.dat"}));
  EXPECT_EQ(os::FindFiles("data\\sub\\*"), (V{"x.txt"}));
  EXPECT_TRUE(os::FindFiles("nowhere\\*.xml").empty());
  EXPECT_TRUE(os::FindFiles("data\\").empty());
  EXPECT_TRUE(os::FindFiles("data\\*.wav").empty());

  m2dtest::WriteFile("top.xml", "");
  EXPECT_EQ(os::FindFiles("*.XML"), (V{"top.xml"}));  // no folder part: the current one
}

}  // namespace
