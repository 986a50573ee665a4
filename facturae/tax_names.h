// Classifying and taking apart the names, addresses and tax numbers that the
// suite's users type into fixed-length fields, for the parties of an invoice:
// the person type of a tax number, a personal name split into given name and
// surnames, a post-code-and-town line split in two, a stored name or street
// ("main part*leading part") turned into reading order, and the blank test.
//
// Every operation accepts texts with the trailing blanks of their fields and
// trims its results itself (the blank character only). None of them fails.
#ifndef TORVANE_FACTURAE_TAX_NAMES_H_
#define TORVANE_FACTURAE_TAX_NAMES_H_

#include <string>
#include <string_view>

#include "base/text_lines.h"

namespace torvane {

// "F" (natural person) or "J" (legal entity), from the character after the
// two-letter country prefix:
//  1. a digit, one of the letters K L M X Y Z E G H J U V, or a blank: "F";
//  2. a tax number shorter than three characters: "F";
//  3. anything else, lower-case letters included: "J".
std::string_view PersonTypeCodeOf(std::string_view tax_number);

struct PersonName {
  std::string given_name;
  std::string first_surname;
  std::string second_surname;
};

// Stored form "SURNAME1 SURNAME2*GIVEN" (everything between the first blank
// and the star is the second surname) or reading order "GIVEN SURNAME1
// SURNAME2..." (everything after the second word is the second surname).
// Each part is trimmed of leading and trailing blanks.
PersonName SplitPersonName(std::string_view stored_name);

struct PostCodeAndTown {
  std::string post_code;
  std::string town;
};

// The post code is the run of digits, hyphens and blanks at the start, trimmed
// and without one final hyphen; the town is the rest, trimmed.
PostCodeAndTown SplitPostCodeAndTown(std::string_view text);

}  // namespace torvane

#endif  // TORVANE_FACTURAE_TAX_NAMES_H_
