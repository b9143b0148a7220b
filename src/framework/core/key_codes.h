// Key codes handed to the application: every platform key is first named by
// its virtual-key number, then looked up in one 256-entry table.
#pragma once

namespace loom::app {

// Virtual-key numbers the platform layer produces (the conventional desktop values).
namespace vk {
constexpr int BACK = 8, TAB = 9, CLEAR = 12, RETURN = 13, SHIFT = 16, CONTROL = 17, MENU = 18,
              PAUSE = 19, CAPITAL = 20, ESCAPE = 27, SPACE = 32, PRIOR = 33, NEXT = 34, END = 35,
              HOME = 36, LEFT = 37, UP = 38, RIGHT = 39, DOWN = 40, PRINT = 42, SNAPSHOT = 44,
              INSERT = 45, DELETE_ = 46, HELP = 47, LWIN = 91, RWIN = 92, APPS = 93, NUMPAD0 = 96,
              MULTIPLY = 106, ADD = 107, SUBTRACT = 109, DECIMAL = 110, DIVIDE = 111, F1 = 112,
              NUMLOCK = 144, SCROLL = 145, LSHIFT = 160, RSHIFT = 161, LCONTROL = 162,
              RCONTROL = 163, LMENU = 164, RMENU = 165, OEM_1 = 186, OEM_PLUS = 187,
              OEM_COMMA = 188, OEM_MINUS = 189, OEM_PERIOD = 190, OEM_2 = 191, OEM_3 = 192,
              OEM_4 = 219, OEM_5 = 220, OEM_6 = 221, OEM_7 = 222, OEM_8 = 223, OEM_102 = 226;
}  // namespace vk

// Well-known codes of the table.
namespace key {
constexpr int RETURN = 13;
constexpr int KP0 = 256;
constexpr int RSHIFT = 303;
constexpr int LSHIFT = 304;
}  // namespace key

// Bits shared by mouse and key modifiers.
enum ModifierBits : unsigned {
  LEFT_DOWN = 0x01,
  RIGHT_DOWN = 0x02,
  MIDDLE_DOWN = 0x04,
  SHIFT_DOWN = 0x08,
  ALT_DOWN = 0x10,
  CTRL_DOWN = 0x20,
  META_DOWN = 0x40,
};

// The code for a virtual key; 0 for keys outside the table (and for 256 and above).
int keyCodeForVirtualKey(int virtualKey);

}  // namespace loom::app
