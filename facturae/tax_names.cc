// Tax-number classification and the splitting and reordering of stored
// names, post codes and towns for the parties of an invoice.
#include "facturae/tax_names.h"

#include <string>
#include <string_view>

namespace torvane {
namespace {

constexpr std::string_view kPersonThirdCharacters = "0123456789KLMXYZEGHJUV ";
constexpr std::string_view kPostCodeCharacters = "0123456789- ";

// Position of the first blank at or after `from` in `text` followed by one
// blank: text.size() when the text has none there.
size_t BlankFrom(std::string_view text, size_t from) {
  const size_t found = text.find(' ', from);
  return found == std::string_view::npos ? text.size() : found;
}

std::string_view Slice(std::string_view text, size_t from, size_t to) {
  if (from >= text.size() || to <= from) return {};
  return text.substr(from, to - from);
}

}  // namespace

std::string_view PersonTypeCodeOf(std::string_view tax_number) {
  if (tax_number.size() < 3) return "F";
  return kPersonThirdCharacters.find(tax_number[2]) != std::string_view::npos ? "F" : "J";
}

PersonName SplitPersonName(std::string_view stored_name) {
  std::string_view given, first, second;
  const size_t star = stored_name.find('*');
  if (star != std::string_view::npos) {
    given = stored_name.substr(star + 1);
    const size_t blank = BlankFrom(stored_name, 0);
    if (blank < star) {
      first = stored_name.substr(0, blank);
      second = Slice(stored_name, blank + 1, star);
    } else {
      first = stored_name.substr(0, star);
    }
  } else {
    const size_t blank = BlankFrom(stored_name, 0);
    given = stored_name.substr(0, blank);
    if (blank < stored_name.size()) {
      const size_t blank2 = BlankFrom(stored_name, blank + 1);
      first = Slice(stored_name, blank + 1, blank2);
      second = Slice(stored_name, blank2 + 1, stored_name.size());
    }
  }
  return PersonName{std::string(TrimBlanks(given)), std::string(TrimBlanks(first)),
                    std::string(TrimBlanks(second))};
}

PostCodeAndTown SplitPostCodeAndTown(std::string_view text) {
  size_t split = text.find_first_not_of(kPostCodeCharacters);
  if (split == std::string_view::npos) split = text.size();
  std::string_view post_code = TrimBlanks(text.substr(0, split));
  if (!post_code.empty() && post_code.back() == '-') {
    post_code = TrimTrailingBlanks(post_code.substr(0, post_code.size() - 1));
  }
  return PostCodeAndTown{std::string(post_code), std::string(TrimBlanks(text.substr(split)))};
}

}  // namespace torvane
