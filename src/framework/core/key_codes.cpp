#include "framework/core/key_codes.h"

#include <array>

namespace loom::app {

namespace {

using Table = std::array<int, 256>;

Table buildTable() {
  Table t{};
  auto same = [&t](int k) { t[k] = k; };
  for (int k : {8, 9, 12, 13, 19, 27, 32}) same(k);
  for (int k = 48; k <= 57; ++k) same(k);
  for (int k = 65; k <= 90; ++k) t[k] = k + 32;  // letters give their lower-case character
  t[222] = 39; t[188] = 44; t[189] = 45; t[190] = 46; t[191] = 47;
  t[186] = 59; t[187] = 61; t[219] = 91; t[220] = 92; t[221] = 93; t[226] = 60;
  t[192] = 96; t[223] = 96;
  t[46] = 127;
  for (int k = 96; k <= 105; ++k) t[k] = 256 + (k - 96);
  t[110] = 266; t[111] = 267; t[106] = 268; t[109] = 269; t[107] = 270;
  t[38] = 273; t[40] = 274; t[39] = 275; t[37] = 276;
  t[45] = 277; t[36] = 278; t[35] = 279; t[33] = 280; t[34] = 281;
  for (int k = 112; k <= 126; ++k) t[k] = 282 + (k - 112);
  t[144] = 300; t[20] = 301; t[145] = 302;
  t[161] = 303; t[160] = 304; t[163] = 305; t[162] = 306; t[165] = 307; t[164] = 308;
  t[91] = 311; t[92] = 312;
  t[47] = 315; t[42] = 316; t[44] = 316;
  t[3] = 318; t[93] = 319;
  return t;
}

}  // namespace

int keyCodeForVirtualKey(int virtualKey) {
  static const Table table = buildTable();
  if (virtualKey < 0 || virtualKey >= 256) return 0;
  return table[static_cast<std::size_t>(virtualKey)];
}

}  // namespace loom::app
