#include "framework/platform/glfw/glfw_keys.h"

#include <GLFW/glfw3.h>

#include "framework/core/key_codes.h"

namespace loom::app::glfw {

int virtualKeyForGlfwKey(int k) {
  if (k >= GLFW_KEY_0 && k <= GLFW_KEY_9) return '0' + (k - GLFW_KEY_0);
  if (k >= GLFW_KEY_A && k <= GLFW_KEY_Z) return 'A' + (k - GLFW_KEY_A);
  if (k >= GLFW_KEY_KP_0 && k <= GLFW_KEY_KP_9) return vk::NUMPAD0 + (k - GLFW_KEY_KP_0);
  if (k >= GLFW_KEY_F1 && k <= GLFW_KEY_F15) return vk::F1 + (k - GLFW_KEY_F1);
  switch (k) {
    case GLFW_KEY_BACKSPACE: return vk::BACK;
    case GLFW_KEY_TAB: return vk::TAB;
    case GLFW_KEY_ENTER: return vk::RETURN;
    case GLFW_KEY_KP_ENTER: return vk::RETURN;  // both Enter keys are Return to the program
    case GLFW_KEY_PAUSE: return vk::PAUSE;
    case GLFW_KEY_ESCAPE: return vk::ESCAPE;
    case GLFW_KEY_SPACE: return vk::SPACE;
    case GLFW_KEY_PAGE_UP: return vk::PRIOR;
    case GLFW_KEY_PAGE_DOWN: return vk::NEXT;
    case GLFW_KEY_END: return vk::END;
    case GLFW_KEY_HOME: return vk::HOME;
    case GLFW_KEY_LEFT: return vk::LEFT;
    case GLFW_KEY_UP: return vk::UP;
    case GLFW_KEY_RIGHT: return vk::RIGHT;
    case GLFW_KEY_DOWN: return vk::DOWN;
    case GLFW_KEY_PRINT_SCREEN: return vk::SNAPSHOT;
    case GLFW_KEY_INSERT: return vk::INSERT;
    case GLFW_KEY_DELETE: return vk::DELETE_;
    case GLFW_KEY_LEFT_SUPER: return vk::LWIN;
    case GLFW_KEY_RIGHT_SUPER: return vk::RWIN;
    case GLFW_KEY_MENU: return vk::APPS;
    case GLFW_KEY_KP_MULTIPLY: return vk::MULTIPLY;
    case GLFW_KEY_KP_ADD: return vk::ADD;
    case GLFW_KEY_KP_SUBTRACT: return vk::SUBTRACT;
    case GLFW_KEY_KP_DECIMAL: return vk::DECIMAL;
    case GLFW_KEY_KP_DIVIDE: return vk::DIVIDE;
    case GLFW_KEY_NUM_LOCK: return vk::NUMLOCK;
    case GLFW_KEY_CAPS_LOCK: return vk::CAPITAL;
    case GLFW_KEY_SCROLL_LOCK: return vk::SCROLL;
    case GLFW_KEY_LEFT_SHIFT: return vk::LSHIFT;
    case GLFW_KEY_RIGHT_SHIFT: return vk::RSHIFT;
    case GLFW_KEY_LEFT_CONTROL: return vk::LCONTROL;
    case GLFW_KEY_RIGHT_CONTROL: return vk::RCONTROL;
    case GLFW_KEY_LEFT_ALT: return vk::LMENU;
    case GLFW_KEY_RIGHT_ALT: return vk::RMENU;
    case GLFW_KEY_SEMICOLON: return vk::OEM_1;
    case GLFW_KEY_EQUAL: return vk::OEM_PLUS;
    case GLFW_KEY_COMMA: return vk::OEM_COMMA;
    case GLFW_KEY_MINUS: return vk::OEM_MINUS;
    case GLFW_KEY_PERIOD: return vk::OEM_PERIOD;
    case GLFW_KEY_SLASH: return vk::OEM_2;
    case GLFW_KEY_GRAVE_ACCENT: return vk::OEM_3;
    case GLFW_KEY_LEFT_BRACKET: return vk::OEM_4;
    case GLFW_KEY_BACKSLASH: return vk::OEM_5;
    case GLFW_KEY_RIGHT_BRACKET: return vk::OEM_6;
    case GLFW_KEY_APOSTROPHE: return vk::OEM_7;
    case GLFW_KEY_WORLD_1: return vk::OEM_102;
    default: return 0;
  }
}

int frameworkButtonForGlfwButton(int button) {
  switch (button) {
    case GLFW_MOUSE_BUTTON_LEFT: return 1;
    case GLFW_MOUSE_BUTTON_RIGHT: return 2;
    case GLFW_MOUSE_BUTTON_MIDDLE: return 4;
    default: return 0;
  }
}

unsigned modifierBitsForGlfwMods(int mods) {
  unsigned bits = 0;
  if (mods & GLFW_MOD_SHIFT) bits |= SHIFT_DOWN;
  if (mods & GLFW_MOD_ALT) bits |= ALT_DOWN;
  if (mods & GLFW_MOD_CONTROL) bits |= CTRL_DOWN;
  if (mods & GLFW_MOD_SUPER) bits |= META_DOWN;
  return bits;
}

}  // namespace loom::app::glfw
