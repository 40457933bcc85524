// The live preview's pieces that need no server: request names, types, the
// script put into pages, and what counts as a change.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "cli/live_site.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

TEST(LiveSiteTest, RequestNamesMapToFilesInsideOnly) {
  EXPECT_EQ(live::SiteRelativePath("/", "/"), "Index.htm");
  EXPECT_EQ(live::SiteRelativePath("/pictures/a b.gif", "/pictures/a%20b.gif"), "pictures/a b.gif");
  EXPECT_EQ(live::SiteRelativePath("/.hidden.css", "/.hidden.css"), ".hidden.css");
  EXPECT_EQ(live::SiteRelativePath("/a..b.htm", "/a..b.htm"), "a..b.htm");
  for (const char* refused : {"/..", "/../x", "/a/../x", "/./x", "//x", "/a//x", "/a/", "x",
                              "/a\\..\\x", "/C:/x", "/x:stream", "/ .. /x", "/.../x", "/x\x01"})
    EXPECT_FALSE(live::SiteRelativePath(refused, refused)) << refused;
  EXPECT_FALSE(live::SiteRelativePath(std::string("/x\0y", 4), "/x%00y"));
  // Encoded separators are refused even where the decoded name looks harmless.
  for (const char* raw : {"/%2e", "/a%2Fb", "/a%5cb", "/a%3ab", "/a%00"})
    EXPECT_FALSE(live::SiteRelativePath("/harmless", raw)) << raw;
}

TEST(LiveSiteTest, ContentTypesGoByTheExtension) {
  EXPECT_EQ(live::ContentTypeOf("Guide.CNT.HTM"), "text/html");
  EXPECT_EQ(live::ContentTypeOf("a/style.css"), "text/css");
  EXPECT_EQ(live::ContentTypeOf("p/x.JPEG"), "image/jpeg");
  EXPECT_EQ(live::ContentTypeOf("p/x.svg"), "image/svg+xml");
  EXPECT_EQ(live::ContentTypeOf("menu.js"), "text/javascript");
  EXPECT_EQ(live::ContentTypeOf("a.htm/README"), "application/octet-stream");
  EXPECT_EQ(live::ContentTypeOf("noext"), "application/octet-stream");
}

TEST(LiveSiteTest, TheScriptGoesIntoTheHeadOrBeforeTheFrameSet) {
  const std::string page = "<HTML><Head><TITLE>t</TITLE></HEAD><BODY>x</BODY></HTML>";
  const std::string served = live::WithLiveReload(page, 7, "");
  const std::size_t script = served.find("<script>");
  ASSERT_NE(script, std::string::npos);
  EXPECT_EQ(served.substr(0, script), "<HTML><Head><TITLE>t</TITLE>");
  EXPECT_NE(served.find("var g=\"7\""), std::string::npos);
  EXPECT_EQ(served.find("orvanel-banner"), std::string::npos);
  // Taking the script out gives the page back unchanged.
  const std::size_t end = served.find("</script>") + 9;
  EXPECT_EQ(served.substr(0, script) + served.substr(end), page);

  const std::string frames = "<HTML><FRAMESET COLS=\"*\"><FRAME SRC=\"a.htm\"></FRAMESET></HTML>";
  EXPECT_EQ(live::WithLiveReload(frames, 1, "").find("<script>"), 6u);
  EXPECT_EQ(live::WithLiveReload("plain", 1, "").find("<script>"), 0u);
}

TEST(LiveSiteTest, TheBannerTextCannotEndTheScript) {
  const std::string served =
      live::WithLiveReload("<HEAD></HEAD>", 1, "Cannot open \"x</script><b>\" \xe9\\");
  EXPECT_NE(served.find("orvanel-banner"), std::string::npos);
  EXPECT_EQ(served.find("</script><b>"), std::string::npos);
  EXPECT_EQ(live::ScriptString("a\"<\\\n\xe9'"), "\"a\\u0022\\u003c\\u005c\\u000a\\u00e9\\u0027\"");
}

TEST(LiveSiteTest, ASnapshotSeesTheAuthorsFilesButNotThePages) {
  TempDir dir;
  const std::string src = dir / "src/";
  const std::string site = dir / "site";
  MakeDirectory(src);
  MakeDirectory(site);
  MakeDirectory(site + "/pictures");
  WriteDefaultTemplates(src);
  WriteFileBytes(src + "Guide.txt", "x");
  WriteFileBytes(site + "/Index.htm", "i");
  WriteFileBytes(site + "/pictures/a.gif", "g");
  const std::vector<std::string> pages = {"Guide.cnt.htm", "Guide.toc.htm"};
  const live::Snapshot first = live::TakeSnapshot(src + "Guide.txt", site, pages);
  EXPECT_EQ(first.size(), 6u + 2u);

  // The pages and temporaries a conversion writes are no change.
  WriteFileBytes(site + "/Guide.cnt.htm", "page");
  WriteFileBytes(site + "/.~orvanel-0123456789abcdef.tmp", "t");
  EXPECT_EQ(live::TakeSnapshot(src + "Guide.txt", site, pages), first);

  auto changed = [&](auto change) {
    const live::Snapshot before = live::TakeSnapshot(src + "Guide.txt", site, pages);
    change();
    return live::TakeSnapshot(src + "Guide.txt", site, pages) != before;
  };
  EXPECT_TRUE(changed([&] { WriteFileBytes(src + "Guide.txt", "xy"); }));
  EXPECT_TRUE(changed([&] {
    // Same size, later time: an editor's save of an equally long text.
    const auto time = std::filesystem::last_write_time(src + "Guide.txt");
    WriteFileBytes(src + "Guide.txt", "ab");
    std::filesystem::last_write_time(src + "Guide.txt", time + std::chrono::seconds(2));
  }));
  EXPECT_TRUE(changed([&] { std::filesystem::remove(src + "BeforeTOC.htm"); }));
  EXPECT_TRUE(changed([&] { WriteFileBytes(src + "BeforeTOC.htm", "back"); }));
  EXPECT_TRUE(changed([&] { WriteFileBytes(site + "/pictures/b.png", "p"); }));
  EXPECT_TRUE(changed([&] { WriteFileBytes(site + "/Index.htm", "frames"); }));
  EXPECT_FALSE(changed([] {}));
}

} // namespace
