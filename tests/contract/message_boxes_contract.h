#pragma once
// The cases every MessageBoxes adapter passes: the Win32 one's real boxes
// under Wine, the headless runtime's on the host. The scenarios put ticks
// and tray callbacks inside a box and count the boxes shown, so the events
// that run while one is open, and where the rest run, must be those of
// Windows.

#include <functional>
#include <string>
#include <vector>

#include "platform/ports.h"
#include "tests/win32/check.h"

namespace talvorin::contract {

// What a case needs besides the port: events that arrive as posted
// messages do, and the user at the boxes.
class MessageBoxesUnderTest {
 public:
  virtual ~MessageBoxesUnderTest() = default;
  virtual platform::MessageBoxes& boxes() = 0;
  // An event that arrives with the next wait for events: inside a box's
  // loop while one is open.
  virtual void post(std::function<void()> event) = 0;
  // The boxes open now.
  virtual int open_boxes() = 0;
  // The box shown last, "title: prompt"; asked while it is open.
  virtual std::u16string newest_box() = 0;
  // The user presses OK in the box on top.
  virtual void close_top_box() = 0;
  // Lets the events posted so far arrive, outside any box.
  virtual void settle() = 0;
};

inline std::string in_order(const std::vector<std::string>& steps) {
  std::string order;
  for (const std::string& step : steps) order += (order.empty() ? "" : ", ") + step;
  return order;
}

// show() returns once the user has closed the box; the events posted before
// that run inside it, in order, and those posted after the close run only
// once it has gone. Given no title, it has the program's name.
inline void message_box_runs_events_until_closed(MessageBoxesUnderTest& under_test) {
  using testing::check_equal;
  using testing::show;
  std::vector<std::string> seen;
  under_test.post([&] {
    seen.emplace_back("first");
    check_equal(under_test.open_boxes(), 1, "one box open");
    check_equal(show(under_test.newest_box()), show(u"Talvorin: Error: Cannot find window"), "its title and text");
  });
  under_test.post([&] {
    seen.emplace_back("second");
    under_test.close_top_box();
  });
  under_test.post([&] { seen.emplace_back("queued after the close"); });
  under_test.boxes().show(u"Error: Cannot find window", platform::MessageBoxStyle::Ok, u"");
  seen.emplace_back("returned");
  check_equal(under_test.open_boxes(), 0, "no box left once show() has returned");
  under_test.settle();
  check_equal(in_order(seen), std::string("first, second, returned, queued after the close"),
              "what ran inside the box");
}

// A box shown by an event while another is open stands on top of it: two
// are open, the one on top closes first, and only then does the first show()
// go on. One box at a time is the caller's to keep.
inline void message_box_inside_another(MessageBoxesUnderTest& under_test) {
  using testing::check_equal;
  using testing::show;
  std::vector<std::string> seen;
  under_test.post([&] {
    under_test.post([&] {
      seen.emplace_back("inside the second");
      check_equal(under_test.open_boxes(), 2, "two boxes open");
      check_equal(show(under_test.newest_box()), show(u"Second: second"), "the second on top, with its title");
      under_test.close_top_box();
    });
    under_test.boxes().show(u"second", platform::MessageBoxStyle::Ok, u"Second");
    seen.emplace_back("the second returned");
    check_equal(under_test.open_boxes(), 1, "the first still open");
    under_test.close_top_box();
  });
  under_test.boxes().show(u"first", platform::MessageBoxStyle::Ok, u"Talvorin");
  seen.emplace_back("the first returned");
  check_equal(under_test.open_boxes(), 0, "none left");
  check_equal(in_order(seen), std::string("inside the second, the second returned, the first returned"), "the order");
}

}  // namespace talvorin::contract
