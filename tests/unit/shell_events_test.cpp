#include "core/shell_events.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <string>

namespace talvorin::core {
namespace {

constexpr std::uint32_t kOwnProcess = 1;
constexpr std::uint32_t kExplorer = 20;  // the taskbar's process
// Taskbar windows and their processes: 0x200 is a new Explorer's, 0x300 a
// second one of the same Explorer, 0x400 gone before its process is read.
const std::map<std::uintptr_t, std::uint32_t> kProcesses{{0x100, kExplorer}, {0x200, 40}, {0x300, kExplorer}};

struct Outcome {
  int placements = 0;
  int call_backs = 0;  // asked for: each is a message posted
  int hook_moves = 0;
  int lookups = 0;
  std::string ticks;  // a letter a tick: F laid the caption windows anew, - only restacked them
  friend bool operator==(const Outcome&, const Outcome&) = default;
};

// Steps, one a word: KIND PROCESS [@OBJECT] an event (F foreground, S show,
// H hide, D destroy, R reorder, L move, N a name change, which the program
// does not listen to); "." the message queue ran empty, and the call backs
// asked for run; "T" HANDLE a tick found that taskbar (hex), and its
// button at the next handle; "d" the display changed, "c" the caption,
// "u" the user pressed "Ok" (each for the next tick); "-h" the system
// refuses hooks from now on, "+h" it sets them. Before the steps, a tick
// found the taskbar 0x100 and the hooks stood.
Outcome run(const std::string& steps) {
  const std::map<char, std::uint32_t> kinds{{'F', 0x0003}, {'D', 0x8001}, {'S', 0x8002}, {'H', 0x8003},
                                            {'R', 0x8004}, {'L', 0x800B}, {'N', 0x800C}};
  Outcome outcome;
  const CaptionFollowing::ProcessOf process_of = [&outcome](std::uintptr_t window) {
    ++outcome.lookups;
    const auto found = kProcesses.find(window);
    return found == kProcesses.end() ? 0U : found->second;
  };
  CaptionFollowing following(kOwnProcess);
  following.follow(0x100, process_of);
  following.hooks_set(true);
  outcome = {};
  bool hooks_stand = true;
  TickSeen seen{.caption = u"Пуск"};
  int waiting = 0;
  std::istringstream words(steps);
  for (std::string word; words >> word;) {
    if (word == ".") {
      for (; waiting > 0; --waiting) outcome.placements += following.due() ? 1 : 0;
    } else if (word == "-h" || word == "+h") {
      hooks_stand = word == "+h";
    } else if (word == "d") {
      ++seen.display_changes;
    } else if (word == "c") {
      seen.caption = seen.caption == u"Пуск" ? u"Мой" : u"Пуск";
    } else if (word == "u") {
      seen.user = true;
    } else if (word[0] == 'T') {
      seen.taskbar = std::stoul(word.substr(1), nullptr, 16);
      seen.button = seen.taskbar == 0 ? 0 : seen.taskbar + 1;
      if (following.follow(seen.taskbar, process_of)) {
        ++outcome.hook_moves;
        following.hooks_set(hooks_stand);
      }
      outcome.ticks += following.places(seen) ? 'F' : '-';
      seen.user = false;
    } else {
      const auto at = word.find('@');
      const WindowEvent event{WindowEventKind{kinds.at(word[0])},
                              static_cast<std::uint32_t>(std::stoul(word.substr(1))),
                              at == std::string::npos ? kWindowObject : std::stoi(word.substr(at + 1))};
      if (following.heard(event)) {
        ++outcome.call_backs;
        ++waiting;
      }
    }
  }
  return outcome;
}

TEST(CaptionFollowing, EachBurstOfEventsThatCountsBringsOneReplacement) {
  struct Case {
    const char* name;
    const char* steps;
    Outcome outcome;
  };
  const Case cases[] = {
      {"the taskbar slides: one burst of moves", "L20 L20 L20 L20 .", {1, 1, 0, 0, ""}},
      {"two bursts, the queue empty between them", "L20 L20 . L20 .", {2, 2, 0, 0, ""}},
      {"a click raises the taskbar and makes it the foreground", "F20 R20 .", {1, 1, 0, 0, ""}},
      {"another program comes to the front", "F30 .", {1, 1, 0, 0, ""}},
      {"the new foreground window is gone already", "F0 .", {1, 1, 0, 0, ""}},
      {"the taskbar shown, hidden and destroyed", "S20 . H20 . D20 .", {3, 3, 0, 0, ""}},
      {"the program's own windows", "F1 L1 S1 R1 .", {0, 0, 0, 0, ""}},
      {"another process's windows", "L30 S30 H30 D30 R30 .", {0, 0, 0, 0, ""}},
      {"a caret, the pointer and a client area in Explorer", "L20@-8 L20@-9 S20@-4 .", {0, 0, 0, 0, ""}},
      {"an event the program does not listen to", "N20 .", {0, 0, 0, 0, ""}},
      {"an empty queue with nothing heard", ". . .", {0, 0, 0, 0, ""}},
      {"idle ticks look up no process", "T100 T100 T0 T100 .", {0, 0, 0, 0, "FFFF"}},
      {"Explorer started anew: its events count, the old one's no more", "T200 L20 . L40 .", {1, 1, 1, 1, "F"}},
      {"a new taskbar window of the same Explorer", "T300 L20 .", {1, 1, 0, 1, "F"}},
      {"no taskbar: the last Explorer's events still count", "T0 L20 .", {1, 1, 0, 0, "F"}},
      {"a taskbar gone before its process was read is read again", "T400 T400 L20 .", {1, 1, 0, 2, "FF"}},
      {"a tick meanwhile serves the burst", "L20 T100 .", {0, 1, 0, 0, "F"}},
      {"after the tick, the next event asks anew", "L20 T100 L20 .", {1, 2, 0, 0, "F"}},
      {"a tick that only restacks serves no burst", "S1 T100 T100 L20 T100 .", {1, 1, 0, 0, "F--"}},
  };
  for (const Case& c : cases) {
    const Outcome seen = run(c.steps);
    EXPECT_EQ(seen, c.outcome) << c.name << ": placements " << seen.placements << ", call backs " << seen.call_backs
                               << ", hook moves " << seen.hook_moves << ", lookups " << seen.lookups << ", ticks "
                               << seen.ticks;
  }
}

// Whether the events are known, not known or stopped, against the causes
// of a placement: the tick, an event, a change of the display, the guard.
TEST(CaptionFollowing, TicksLayTheCaptionAnewUntilTheEventsAreKnownThenOnlyForWhatNoEventTells) {
  struct Case {
    const char* name;
    std::string steps;
    const char* ticks;
    int placements;  // by events
    int hook_moves = 0;
  };
  constexpr const char* kSecond = "T100 T100 T100 T100 T100 T100 T100 T100 T100 T100 T100";
  const std::string known = "S1 T100 ";    // its own caption window shown
  const std::string stopped = "-h T200 ";  // a new Explorer, whose hooks the system refuses
  const Case cases[] = {
      {"not known: the tick", "T100 T100", "FF", 0},
      {"not known: an event that shows nothing", "T100 F30 . T100", "FF", 1},
      {"not known: the display", "T100 d T100", "FF", 0},
      {"not known: a second of ticks", kSecond, "FFFFFFFFFFF", 0},
      {"known: the tick", known + "T100 T100", "F--", 0},
      {"known: an event", known + "T100 L20 . T100", "F--", 1},
      {"known: the display", known + "d T100 T100", "FF-", 0},
      {"known: a second of ticks, the guard", known + kSecond, "F---------F-", 0},
      {"stopped: the tick, each asking for the hooks", stopped + "T200 T200", "FFF", 0, 3},
      {"stopped: a show of its own, heard before", stopped + "S1 T200", "FF", 0, 2},
      {"stopped: the display", stopped + "d T200", "FF", 0, 2},
      {"stopped: a second of ticks", stopped + kSecond, "FFFFFFFFFFFF", 0, 12},
      {"stopped, then the hooks stand: not known until an event", stopped + "+h T200 T200 S1 T200", "FFF-", 0, 2},
      {"known: the taskbar's own show, move or hide counts too", "S20 T100 T100", "F-", 0},
      {"a destruction, the foreground or a caret count for nothing", "F1 F20 D20 L20@-8 S30 . T100 T100", "FF", 1},
      {"known, then Explorer anew: the new one must show it again", known + "T200 T200 L40 . T200", "FFF-", 1, 1},
      {"known: another caption, another taskbar window, \"Ok\"", known + "c T100 T300 T300 u T300 T300", "FFF-F-", 0},
  };
  for (const Case& c : cases) {
    const Outcome seen = run(c.steps);
    EXPECT_EQ(seen.ticks, c.ticks) << c.name;
    EXPECT_EQ(seen.placements, c.placements) << c.name;
    EXPECT_EQ(seen.hook_moves, c.hook_moves) << c.name;
  }
}

}  // namespace
}  // namespace talvorin::core
