// SPDX-License-Identifier: MIT
// Asks the top-level X11 window with the given title to close, as a window
// manager's close button does (WM_DELETE_WINDOW), once it has appeared.
// Usage: close_window <title> [seconds to wait, default 30]
// Exit code 0 when the request was sent, 1 when no such window appeared.

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

bool HasTitle(Display* display, Window window, const char* title) {
  char* name = nullptr;
  bool same =
      XFetchName(display, window, &name) != 0 && name != nullptr && std::strcmp(name, title) == 0;
  if (name != nullptr) {
    XFree(name);
  }
  return same;
}

// Only a window that is on the screen counts: Qt maps a window after its
// show event, so the program's first full show is complete by then.
bool IsOnScreen(Display* display, Window window) {
  XWindowAttributes attributes;
  return XGetWindowAttributes(display, window, &attributes) != 0 &&
         attributes.map_state == IsViewable;
}

Window FindWindow(Display* display, Window parent, const char* title) {
  Window root = 0;
  Window parentOut = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, parent, &root, &parentOut, &children, &count) == 0) {
    return 0;
  }
  Window found = 0;
  for (unsigned int i = 0; i < count && found == 0; ++i) {
    if (HasTitle(display, children[i], title) && IsOnScreen(display, children[i])) {
      found = children[i];
    } else {
      found = FindWindow(display, children[i], title);
    }
  }
  if (children != nullptr) {
    XFree(children);
  }
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    return 2;
  }
  const char* title = argv[1];
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    return 1;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  Window window = 0;
  while (window == 0 && std::chrono::steady_clock::now() < deadline) {
    window = FindWindow(display, DefaultRootWindow(display), title);
    if (window == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  if (window == 0) {
    XCloseDisplay(display);
    return 1;
  }
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
  XCloseDisplay(display);
  return 0;
}
