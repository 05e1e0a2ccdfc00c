// The client's start from outside, as a user sees it: from starting the program to its first painted main
// window (the main window, or the toolbar window in the separate layout), and the resident memory 3 s
// after the start, unconnected. Each start gets folders of its own (a first start: no preferences, no
// bookmarks); the layout comes from its desktop settings file. The window is watched on the X display:
// its map is seen on the root window, and it counts as painted once its pixels are no longer one colour.
//
// Run under an X server, for example: Xvfb :63 & DISPLAY=:63 bin/startup_bench bin/quenvol [RUNS]
// It prints per layout the median, least and most time of RUNS starts (9 by default) and the median
// resident memory.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

extern char** environ;

namespace
{
using Clock = std::chrono::steady_clock;
constexpr auto kWatchdog = std::chrono::seconds(20);

std::string WindowName(xcb_connection_t* x, xcb_window_t w)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        x, xcb_get_property(x, 0, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 64), nullptr);
    if (!reply) return std::string();
    std::string name(static_cast<const char*>(xcb_get_property_value(reply)),
                     size_t(xcb_get_property_value_length(reply)));
    free(reply);
    return name;
}

// More than a few colours in the window: something has been drawn in it. Only eight rows across the
// window are looked at: fetching the whole window on every poll kept the X server busy copying
// megabytes while the client waited on it for its own requests, and so slowed what was measured.
bool IsPainted(xcb_connection_t* x, xcb_window_t w)
{
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(x, xcb_get_geometry(x, w), nullptr);
    if (!g) return false;
    const uint16_t width = g->width, height = g->height;
    free(g);
    constexpr int kRows = 8;
    xcb_get_image_cookie_t rows[kRows];
    for (int r = 0; r < kRows; ++r)
        rows[r] = xcb_get_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0,
                                int16_t(height * (2 * r + 1) / (2 * kRows)), width, 1, ~0u);
    std::set<uint32_t> colours;
    for (xcb_get_image_cookie_t row : rows)
    {
        xcb_get_image_reply_t* image = xcb_get_image_reply(x, row, nullptr);
        if (!image) continue;
        const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
        const size_t count = size_t(xcb_get_image_data_length(image)) / 4;
        for (size_t i = 0; i < count; i += 7)
            colours.insert(pixels[i] & 0xFFFFFF);
        free(image);
    }
    return colours.size() >= 8;
}

uint64_t ResidentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::strtoull(line.c_str() + 6, nullptr, 10);
    return 0;
}

struct SRun
{
    double ms = -1;
    uint64_t rssKiB = 0;
};

SRun StartOnce(const std::string& program, const std::string& layout)
{
    char folderTemplate[] = "/tmp/quenvol-startup-XXXXXX";
    const std::filesystem::path home = mkdtemp(folderTemplate);
    std::filesystem::create_directories(home / "config/Quenvol");
    std::filesystem::create_directories(home / "run");
    std::filesystem::permissions(home / "run", std::filesystem::perms::owner_all);
    std::ofstream(home / "config/Quenvol/desktop.conf") << "layout=" << layout << "\n";
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home / "run").c_str(), 1);

    SRun run;
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) return run;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    const auto start = Clock::now();
    pid_t pid = 0;
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return run;
    xcb_window_t mainWindow = 0;
    while (Clock::now() - start < kWatchdog && run.ms < 0)
    {
        pollfd p{xcb_get_file_descriptor(x), POLLIN, 0};
        poll(&p, 1, mainWindow ? 1 : 50);
        while (xcb_generic_event_t* event = xcb_poll_for_event(x))
        {
            if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY)
            {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (!mainWindow && WindowName(x, map->window) == "Quenvol") mainWindow = map->window;
            }
            free(event);
        }
        if (mainWindow && IsPainted(x, mainWindow))
            run.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    std::this_thread::sleep_until(start + std::chrono::seconds(3));
    run.rssKiB = ResidentKiB(pid);
    kill(pid, SIGTERM);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR)
    {
    }
    xcb_disconnect(x);
    std::filesystem::remove_all(home);
    return run;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: startup_bench PATH/TO/quenvol [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    for (const char* layout : {"main", "separate"})
    {
        std::vector<double> times;
        std::vector<uint64_t> memory;
        for (int i = 0; i < runs; ++i)
        {
            const SRun r = StartOnce(argv[1], layout);
            if (r.ms < 0)
            {
                std::fprintf(stderr, "%s: no painted main window within the watchdog\n", layout);
                return 1;
            }
            times.push_back(r.ms);
            memory.push_back(r.rssKiB);
        }
        std::sort(times.begin(), times.end());
        std::sort(memory.begin(), memory.end());
        std::printf(
            "%-8s start to first painted main window: median %.0f ms (least %.0f, most %.0f, %d runs); "
            "resident 3 s later: median %.1f MB\n",
            layout, times[times.size() / 2], times.front(), times.back(), runs,
            double(memory[memory.size() / 2]) / 1024.0);
    }
    return 0;
}
