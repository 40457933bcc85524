// orvanel-convert --serve run as a process and asked over HTTP: what it
// serves and refuses, converting again on a change, a taken port, SIGTERM.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

#include "run_converter.h"
#include "support/test_support.h"

using namespace cli_testing;
using namespace testing_support;

namespace {

// What a file running in the background has written so far.
std::string ReadSoFar(const std::string& name) {
  return FileExists(name) ? ReadFileBytes(name) : std::string();
}

class ServeTest : public ::testing::Test {
protected:
  void SetUp() override {
    src = dir / "src/";
    site = dir / "site";
    MakeDirectory(src);
    MakeDirectory(site);
    MakeDirectory(site + "/pictures");
    WriteDefaultTemplates(src);
    WriteFileBytes(src + "Guide.txt", "~S=Intro|intro\r\nFirst text.\r\n");
    WriteFileBytes(site + "/Index.htm",
                   "<HTML><HEAD><TITLE>Guide</TITLE></HEAD>"
                   "<FRAMESET><FRAME SRC=\"Guide.cnt.htm\"></FRAMESET></HTML>");
    WriteFileBytes(site + "/style.css", "P { margin: 0 }");
    WriteFileBytes(site + "/pictures/dot.gif", "GIF89a");
    WriteFileBytes(dir / "secret.txt", "secret");
  }
  void TearDown() override {
    if (!pid.empty())
      std::system(("kill -KILL " + pid + " 2>/dev/null").c_str());
  }

  // Starts the server in the background; false when it exited first.
  bool Start(const std::string& options) {
    const std::string command =
        "( " + Quote(ORVANEL_CONVERT_EXE) + " --serve " + options + " " + Quote(src + "Guide.txt") +
        " " + Quote(site) + " >" + Quote(dir / "out.txt") + " 2>" + Quote(dir / "err.txt") +
        " </dev/null & echo $! >" + Quote(dir / "pid") + "; wait $!; echo $? >" +
        Quote(dir / "status") + " ) >/dev/null 2>&1 &";
    std::system(command.c_str());
    for (int i = 0; i < 200; ++i) {
      const std::string err = ReadSoFar(dir / "err.txt");
      const std::size_t at = err.find("Serving http://127.0.0.1:");
      if (at != std::string::npos && err.find("/Index.htm\n", at) != std::string::npos) {
        port = std::stoi(err.substr(at + 25));
        pid = ReadSoFar(dir / "pid");
        while (!pid.empty() && (pid.back() == '\n'))
          pid.pop_back();
        return true;
      }
      if (FileExists(dir / "status"))
        return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  // The exit status once the server ends, or -1 after 10 s.
  int WaitForExit() {
    for (int i = 0; i < 200; ++i) {
      const std::string status = ReadSoFar(dir / "status");
      if (!status.empty() && status.back() == '\n') {
        pid.clear();
        return std::stoi(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
  }
  httplib::Result Get(const std::string& target) {
    httplib::Client client("127.0.0.1", port);
    client.set_url_encode(false);
    return client.Get(target.c_str());
  }

  TempDir dir;
  std::string src;
  std::string site;
  std::string pid;
  int port = 0;
};

TEST_F(ServeTest, ServesTheSiteWithTypesAndLeavesThePagesAsAPlainConversionWrites) {
  ASSERT_TRUE(Start("--port 0 --quiet")) << ReadSoFar(dir / "err.txt");
  struct Expected {
    const char* Target;
    const char* Type;
  } files[] = {{"/", "text/html"},
               {"/Index.htm", "text/html"},
               {"/Guide.cnt.htm", "text/html"},
               {"/style.css", "text/css"},
               {"/pictures/dot.gif", "image/gif"}};
  for (const Expected& file : files) {
    const auto res = Get(file.Target);
    ASSERT_TRUE(res) << file.Target;
    EXPECT_EQ(res->status, 200) << file.Target;
    EXPECT_EQ(res->get_header_value("Content-Type"), file.Type) << file.Target;
    EXPECT_EQ(res->get_header_value("Cache-Control"), "no-store") << file.Target;
  }
  const auto index = Get("/Index.htm");
  ASSERT_TRUE(index);
  // The script goes into the head, where a frame set page runs it.
  EXPECT_NE(index->body.find("<script>"), std::string::npos);
  EXPECT_LT(index->body.find("<script>"), index->body.find("</HEAD>"));
  EXPECT_EQ(Get("/style.css")->body, "P { margin: 0 }");

  // On disk: the pages exactly as a plain conversion writes them.
  const std::string plain = dir / "plain";
  MakeDirectory(plain);
  ASSERT_EQ(ExitStatus(std::system((Quote(ORVANEL_CONVERT_EXE) + " --quiet " +
                                    Quote(src + "Guide.txt") + " " + Quote(plain))
                                       .c_str())),
            0);
  for (const char* page :
       {"/Guide.cnt.htm", "/Guide.toc.htm", "/Guide.tocbtn.htm", "/Guide.gls.htm"}) {
    EXPECT_EQ(ReadFileBytes(site + page), ReadFileBytes(plain + page)) << page;
    EXPECT_EQ(ReadFileBytes(site + page).find("<script>"), std::string::npos) << page;
  }
}

TEST_F(ServeTest, NothingOutsideTheSiteIsServed) {
  // A link inside the site that leads out of it, and one that stays in.
  ASSERT_EQ(std::system(("ln -s " + Quote(dir / "secret.txt") + " " + Quote(site + "/out.txt") +
                         " && ln -s " + Quote(dir.Path()) + " " + Quote(site + "/up") +
                         " && ln -s " + Quote(site + "/style.css") + " " + Quote(site + "/in.css"))
                            .c_str()),
            0);
  ASSERT_TRUE(Start("--port 0 --quiet")) << ReadSoFar(dir / "err.txt");
  const std::vector<std::string> attempts = {
      "/../secret.txt",
      "/pictures/../../secret.txt",
      "/%2e%2e/secret.txt",
      "/%2E%2E/secret.txt",
      "/..%2fsecret.txt",
      "/pictures%2f..%2f..%2fsecret.txt",
      "/.%2e/secret.txt",
      "/..%5csecret.txt",
      "/..\\secret.txt",
      "/pictures\\..\\..\\secret.txt",
      "/" + dir / "secret.txt",
      "//" + dir / "secret.txt",
      "/%2f" + dir.Path().substr(1) + "secret.txt",
      "/Index.htm%00.gif",
      "/Index.htm%00",
      "/./Index.htm",
      "/pictures/./dot.gif",
      "/out.txt",
      "/up/secret.txt",
      "/pictures",
      "/pictures/",
      "/C:/Windows/win.ini",
      "/.../secret.txt",
      "/%252e%252e/secret.txt",
      "/no-such-page.htm",
  };
  for (const std::string& target : attempts) {
    const auto res = Get(target);
    ASSERT_TRUE(res) << target;
    EXPECT_EQ(res->status, 404) << target;
    EXPECT_EQ(res->body.find("secret"), std::string::npos) << target;
  }
  EXPECT_EQ(Get("/in.css")->status, 200);
}

TEST_F(ServeTest, AChangeConvertsAgainAndAFailureKeepsTheLastGoodPages) {
  ASSERT_TRUE(Start("--port 0")) << ReadSoFar(dir / "err.txt");
  auto waitFor = [this](const std::string& text, bool present) {
    for (int i = 0; i < 100; ++i) {
      const auto res = Get("/Guide.cnt.htm");
      if (res && (res->body.find(text) != std::string::npos) == present)
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  };
  EXPECT_TRUE(waitFor("First text.", true));
  WriteFileBytes(src + "Guide.txt", "~S=Intro|intro\r\nSecond text [oops].\r\n");
  EXPECT_TRUE(waitFor("Second text", true));
  EXPECT_NE(ReadSoFar(dir / "err.txt")
                .find(src + "Guide.txt:2: warning: unknown inline command \"oops\".\n"),
            std::string::npos);

  // A missing template: the pages stay, and the content page says why.
  std::filesystem::rename(src + "BeforeContent.htm", src + "Kept.htm");
  EXPECT_TRUE(waitFor("orvanel-banner", true));
  EXPECT_NE(Get("/Guide.cnt.htm")->body.find("Second text"), std::string::npos);
  EXPECT_EQ(Get("/Guide.toc.htm")->body.find("orvanel-banner"), std::string::npos);
  std::filesystem::rename(src + "Kept.htm", src + "BeforeContent.htm");
  EXPECT_TRUE(waitFor("orvanel-banner", false));
  // Every conversion's log is on standard output.
  const std::string out = ReadSoFar(dir / "out.txt");
  EXPECT_NE(out.find("* File has been processed."), out.rfind("* File has been processed."));
}

TEST_F(ServeTest, WhatAConversionWritesIsNoChangeToConvertAgainFor) {
  // The search index is written beside the pages; were it watched, every
  // conversion would start the next one.
  ASSERT_TRUE(Start("--port 0 --search-index")) << ReadSoFar(dir / "err.txt");
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_TRUE(FileExists(site + "/Guide.search.js"));
  const std::string out = ReadSoFar(dir / "out.txt");
  const std::size_t first = out.find("* File has been processed.");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(out.find("* File has been processed.", first + 1), std::string::npos) << out;
}

TEST_F(ServeTest, ATakenPortIsAnErrorAndSigtermStopsCleanly) {
  ASSERT_TRUE(Start("--port 0 --quiet")) << ReadSoFar(dir / "err.txt");
  const int taken = port;
  const std::string first = pid;
  // A second server on the same port.
  const std::string err = dir / "err2.txt";
  const int second = ExitStatus(std::system(
      (Quote(ORVANEL_CONVERT_EXE) + " --serve --quiet --port " + std::to_string(taken) + " " +
       Quote(src + "Guide.txt") + " " + Quote(site) + " 2>" + Quote(err) + " </dev/null")
          .c_str()));
  EXPECT_EQ(second, 1);
  EXPECT_NE(ReadFileBytes(err).find("cannot serve on 127.0.0.1:" + std::to_string(taken) +
                                    ": the port is in use"),
            std::string::npos);
  // An open event stream does not hold the stop up.
  std::thread reader([this] {
    httplib::Client client("127.0.0.1", port);
    client.Get("/.orvanel/events");
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  std::system(("kill -TERM " + first).c_str());
  EXPECT_EQ(WaitForExit(), 0);
  reader.join();
}

TEST_F(ServeTest, ServeRefusesOpenAndPortNeedsServe) {
  const std::string args = " " + Quote(src + "Guide.txt") + " " + Quote(site) + " >/dev/null 2>&1";
  EXPECT_EQ(
      ExitStatus(std::system((Quote(ORVANEL_CONVERT_EXE) + " --serve --open" + args).c_str())), 2);
  EXPECT_EQ(ExitStatus(std::system((Quote(ORVANEL_CONVERT_EXE) + " --port 8080" + args).c_str())),
            2);
}

} // namespace
