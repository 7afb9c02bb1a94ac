// How long a program's window goes without answering, seen from outside:
//
//   window-ping WINDOW SECONDS
//
// asks the X window WINDOW (its id, as xdotool prints it) whether it answers,
// as a window manager asks to tell a hung program (_NET_WM_PING, answered
// from the window's event loop), again 2 ms after each answer, for SECONDS
// or until SIGINT or SIGTERM, and prints the longest time between two
// answers, a wait still unanswered at the end included, and when it ended.
#include <poll.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t stopped = 0;

xcb_atom_t Atom(xcb_connection_t* x, const char* name) {
    const auto cookie = xcb_intern_atom(x, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(x, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

void Ping(xcb_connection_t* x, xcb_window_t window, std::uint32_t serial) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = Atom(x, "WM_PROTOCOLS");
    event.data.data32[0] = Atom(x, "_NET_WM_PING");
    event.data.data32[1] = serial;
    event.data.data32[2] = window;
    xcb_send_event(x, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(x);
}

// Whether the answer to `serial` came (to the root window) before `end`.
bool Answered(xcb_connection_t* x, std::uint32_t serial, Clock::time_point end) {
    pollfd connection{xcb_get_file_descriptor(x), POLLIN, 0};
    while (!stopped && Clock::now() < end) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
            const bool answer = (event->response_type & 0x7F) == XCB_CLIENT_MESSAGE &&
                                message->data.data32[1] == serial;
            std::free(event);
            if (answer) return true;
        }
        if (xcb_connection_has_error(x)) return false;
        ::poll(&connection, 1, 5);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: window-ping WINDOW SECONDS\n");
        return 2;
    }
    const auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    const auto end = Clock::now() + std::chrono::seconds(std::atoi(argv[2]));
    std::signal(SIGINT, [](int) { stopped = 1; });
    std::signal(SIGTERM, [](int) { stopped = 1; });
    int screen = 0;
    xcb_connection_t* x = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "window-ping: no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    // Where a window sends its answer, for a window manager to see.
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);

    using std::chrono::milliseconds;
    const auto start = Clock::now();
    Clock::duration longest{};
    Clock::duration longestEnd{};  // from the first question
    auto last = start;
    for (std::uint32_t serial = 1; !stopped && Clock::now() < end; ++serial) {
        Ping(x, window, serial);
        const bool answered = Answered(x, serial, end);
        if (Clock::now() - last > longest) {
            longest = Clock::now() - last;
            longestEnd = Clock::now() - start;
        }
        if (!answered) break;
        last = Clock::now();
        std::this_thread::sleep_for(milliseconds(2));
    }
    const auto ms = [](Clock::duration time) {
        return static_cast<long long>(std::chrono::duration_cast<milliseconds>(time).count());
    };
    std::printf("longest gap %lld ms, ending %lld ms after the first question, of %lld ms\n",
                ms(longest), ms(longestEnd), ms(Clock::now() - start));
    xcb_disconnect(x);
    return 0;
}
