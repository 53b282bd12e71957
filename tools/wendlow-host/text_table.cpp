#include "text_table.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/text.h"

namespace {

bool isControl(char16_t c) { return c < 0x20 || c == 0x7F; }
// From the space to the tilde.
bool isPrintableAscii(char16_t c) { return static_cast<char16_t>(c - 0x20) < 0x5F; }

// Printable ASCII only, which most cells are: one byte and one column per code unit.
// Four code units at a time: a lane below 0x20 borrows into its top bit, one above 0x7E
// carries into it (or has it set already).
bool isPlain(std::u16string_view text) {
  constexpr std::uint64_t kOnes = 0x0001000100010001ull;
  constexpr std::uint64_t kTops = 0x8000800080008000ull;
  std::size_t i = 0;
  for (; i + 4 <= text.size(); i += 4) {
    std::uint64_t group;
    std::memcpy(&group, text.data() + i, sizeof group);
    if ((((group - 0x20 * kOnes) & ~group) | (group + (0x7FFF - 0x7E) * kOnes) | group) & kTops) return false;
  }
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(), isPrintableAscii);
}

// Printable ASCII written as its bytes; false, with nothing written, for any other text.
// Eight code units at a time with SSE2: every cell of a long listing comes here.
bool appendPlain(std::string& out, std::u16string_view text) {
  const std::size_t start = out.size();
  out.resize(start + text.size());
  char* to = out.data() + start;
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i belowSpace = _mm_set1_epi16(0x20), aboveTilde = _mm_set1_epi16(0x7E);
  for (; i + 8 <= text.size(); i += 8) {
    // Signed: units from 0x8000 on are negative, so below the space.
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    if (_mm_movemask_epi8(_mm_or_si128(_mm_cmplt_epi16(units, belowSpace), _mm_cmpgt_epi16(units, aboveTilde))) != 0) {
      break;
    }
    _mm_storel_epi64(reinterpret_cast<__m128i*>(to + i), _mm_packus_epi16(units, units));
  }
#endif
  for (; i < text.size() && isPrintableAscii(text[i]); ++i) to[i] = static_cast<char>(text[i]);
  if (i == text.size()) return true;
  out.resize(start);
  return false;
}

// A cell as it is printed: control characters, which would break the layout, as U+FFFD.
void appendShown(std::string& out, std::u16string_view text) {
  if (appendPlain(out, text)) return;
  if (std::none_of(text.begin(), text.end(), isControl)) return platform::appendUtf8(out, text);
  std::u16string shown(text);
  std::replace_if(shown.begin(), shown.end(), isControl, u'\xFFFD');
  platform::appendUtf8(out, shown);
}

// One line: the row's cells, padded to `widths`; `cellWidths` are their terminal columns.
void appendRow(std::string& out, const TextRows& rows, std::size_t row, const std::size_t* cellWidths,
               const std::vector<std::size_t>& widths) {
  // Empty cells at the end get no padding, which would only be trimmed again.
  std::size_t used = widths.size();
  while (used > 0 && rows.cell(row, used - 1).empty()) --used;
  const std::size_t start = out.size();
  for (std::size_t column = 0; column < used; ++column) {
    appendShown(out, rows.cell(row, column));
    if (column + 1 < used) out.append(widths[column] - cellWidths[column] + 2, ' ');
  }
  while (out.size() > start && out.back() == ' ') out.pop_back();
  out += '\n';
}

}  // namespace

std::size_t displayWidth(std::u16string_view text) {
  struct Range {
    char32_t first, last;
  };
  static constexpr Range kWide[] = {
      {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},
      {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},
      {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F},
      {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD},
  };
  if (isPlain(text)) return text.size();
  std::size_t width = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (platform::surrogatePairAt(text, i)) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    if (c < 0x0300) {
      ++width;
      continue;
    }
    if (c <= 0x036F) continue;  // combining accents sit on the previous character
    bool wide = std::any_of(std::begin(kWide), std::end(kWide),
                            [c](const Range& r) { return c >= r.first && c <= r.last; });
    width += wide ? 2 : 1;
  }
  return width;
}

std::string renderTable(const std::vector<std::u16string>& header, const TextRows& rows) {
  // Every cell is measured once, then converted straight into the output. U+FFFD takes
  // one column, as the control character it shows does.
  const std::size_t columns = header.size();
  TextRows heading;
  heading.addRow();
  for (const std::u16string& title : header) heading.addCell(title);
  std::vector<std::size_t> widths(columns);
  std::vector<std::size_t> cellWidths;  // row by row, `columns` per row, the heading first
  cellWidths.reserve((rows.size() + 1) * columns);
  auto measure = [&](const TextRows& from, std::size_t row) {
    for (std::size_t column = 0; column < columns; ++column) {
      cellWidths.push_back(displayWidth(from.cell(row, column)));
      widths[column] = std::max(widths[column], cellWidths.back());
    }
  };
  measure(heading, 0);
  for (std::size_t r = 0; r < rows.size(); ++r) measure(rows, r);

  heading.addRow();
  for (std::size_t width : widths) heading.addCell(std::u16string(width, u'-'));
  std::size_t lineLength = 1;  // an ASCII line at most, which most are
  for (std::size_t width : widths) lineLength += width + 2;
  std::string out;
  out.reserve((rows.size() + 2) * lineLength);
  appendRow(out, heading, 0, cellWidths.data(), widths);
  appendRow(out, heading, 1, widths.data(), widths);
  for (std::size_t r = 0; r < rows.size(); ++r) appendRow(out, rows, r, &cellWidths[(r + 1) * columns], widths);
  return out;
}
