#include "cli/serve.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include <httplib.h>

#include "cli/live_site.h"
#include "lib/platform/serving.h"
#include "lib/text.h"

namespace fs = std::filesystem;

namespace {

// How often the watched files are looked at, and how long they must stay
// unchanged before a conversion starts (an editor may save in steps).
constexpr auto kPollInterval = std::chrono::milliseconds(50);
constexpr auto kSettleTime = std::chrono::milliseconds(100);
// A quiet event stream sends a comment this often, so that a reader gone
// away is noticed and its connection freed.
constexpr auto kKeepAlive = std::chrono::seconds(10);

// What the pages served say about the conversions: how many have finished,
// and what the last one's failure was, if it failed.
class LiveState {
public:
  void Publish(const ServedConversion& conversion) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++generation_;
      banner_ = conversion.Good ? std::string() : conversion.Failure;
    }
    changed_.notify_all();
  }
  void Stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
  }
  std::uint64_t Generation(std::string& banner) const {
    std::lock_guard<std::mutex> lock(mutex_);
    banner = banner_;
    return generation_;
  }
  // Waits until a conversion newer than LAST finishes, the server stops or
  // the keep-alive time passes; false when stopping.
  bool WaitForChange(std::uint64_t last, std::uint64_t& now) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, kKeepAlive, [&] { return stopping_ || generation_ != last; });
    now = generation_;
    return !stopping_;
  }

private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t generation_ = 0;
  std::string banner_;
  bool stopping_ = false;
};

// The regular file RELATIVE names inside ROOT (a canonical path), after
// following every link; nothing when it is not one or lies outside.
std::optional<fs::path> FileInside(const fs::path& root, const std::string& relative) {
  std::error_code error;
  const fs::path real = fs::canonical(root / fs::path(relative), error);
  if (error)
    return std::nullopt;
  const fs::path inside = real.lexically_relative(root);
  if (inside.empty() || inside == "." || *inside.begin() == "..")
    return std::nullopt;
  if (!fs::is_regular_file(real, error) || error)
    return std::nullopt;
  return real;
}

bool ReadAll(const fs::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

void NotFound(httplib::Response& res) {
  res.status = 404;
  res.set_content("Not found.\n", "text/plain");
}

} // namespace

int ServeSite(const ServeSettings& settings, const std::function<ServedConversion()>& convert) {
  plat::CatchStopRequests();

  std::error_code error;
  const fs::path root = fs::canonical(fs::path(settings.Destination), error);
  if (error) {
    std::cerr << "orvanel-convert: cannot serve \"" << settings.Destination
              << "\": " << error.message() << std::endl;
    return 1;
  }

  LiveState state;
  httplib::Server server;
  // Every open window holds one event stream, and a browser keeps several
  // connections open per site; the default pool is too small for both.
  server.new_task_queue = [] { return new httplib::ThreadPool(24); };
  // A stop waits for idle kept-alive connections; keep that short.
  server.set_keep_alive_timeout(1);
  // Not the library's default options: those let a second server share a
  // port that one already listens on.
  server.set_socket_options(
      [](auto socket) { plat::PrepareListeningSocket(static_cast<std::uintptr_t>(socket)); });

  server.Get(".*", [&](const httplib::Request& req, httplib::Response& res) {
    res.set_header("Cache-Control", "no-store");
    if (req.path == live::kEventsPath) {
      auto last = std::make_shared<std::uint64_t>(0);
      auto first = std::make_shared<bool>(true);
      res.set_chunked_content_provider(
          "text/event-stream", [&state, last, first](std::size_t, httplib::DataSink& sink) {
            std::string message;
            std::uint64_t now = 0;
            if (*first) {
              std::string banner;
              now = state.Generation(banner);
              *first = false;
              message = "retry: 500\ndata: " + std::to_string(now) + "\n\n";
            } else if (!state.WaitForChange(*last, now)) {
              sink.done();
              return true;
            } else if (now == *last) {
              message = ": still here\n\n";
            } else {
              message = "data: " + std::to_string(now) + "\n\n";
            }
            *last = now;
            return sink.write(message.data(), message.size());
          });
      return;
    }
    const std::optional<std::string> relative = live::SiteRelativePath(req.path, req.target);
    const std::optional<fs::path> file =
        relative ? FileInside(root, *relative) : std::optional<fs::path>();
    std::string body;
    if (!file || !ReadAll(*file, body)) {
      NotFound(res);
      return;
    }
    const std::string type = live::ContentTypeOf(*relative);
    if (type == "text/html") {
      std::string banner;
      const std::uint64_t generation = state.Generation(banner);
      // Only the content page, the one frame a failure belongs in, shows it.
      if (!SameText(*relative, settings.ContentPage))
        banner.clear();
      body = live::WithLiveReload(body, generation, banner);
    }
    res.set_content(std::move(body), type.c_str());
  });

  int port = settings.Port;
  bool bound = false;
  if (port == 0) {
    port = server.bind_to_any_port("127.0.0.1");
    bound = port > 0;
  } else {
    bound = server.bind_to_port("127.0.0.1", port);
  }
  if (!bound) {
    std::cerr << "orvanel-convert: cannot serve on 127.0.0.1:" << settings.Port
              << ": the port is in use or not allowed" << std::endl;
    return 1;
  }

  live::Snapshot seen = live::TakeSnapshot(settings.Source, settings.Destination, settings.Pages);
  state.Publish(convert());
  std::cout.flush();
  std::cerr << "Serving http://127.0.0.1:" << port << "/Index.htm" << std::endl;

  std::thread listener([&server] { server.listen_after_bind(); });

  bool pending = false;
  auto changedAt = std::chrono::steady_clock::now();
  while (!plat::StopRequested()) {
    std::this_thread::sleep_for(kPollInterval);
    live::Snapshot now = live::TakeSnapshot(settings.Source, settings.Destination, settings.Pages);
    if (now != seen) {
      seen = std::move(now);
      pending = true;
      changedAt = std::chrono::steady_clock::now();
      continue;
    }
    if (pending && std::chrono::steady_clock::now() - changedAt >= kSettleTime) {
      pending = false;
      // A change during the conversion differs from SEEN and starts another.
      state.Publish(convert());
      std::cout.flush();
    }
  }

  state.Stop();
  server.stop();
  listener.join();
  return 0;
}
