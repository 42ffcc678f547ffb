// What a person's message means to the calculator before the symbols are read: tokens that
// only look like numbers are dropped, and number words become digits.
#pragma once

#include <string>
#include <string_view>

namespace plotrak {

// Drops every token that mixes digits with letters, unless its letters are all operator
// words of the calculator ("2x3", "2razy3"): "1E-400", "mp3", "10km" are no numbers.
// A token is a run of letters, digits and the characters ".,+-" (what a number with an
// exponent or a decimal part is made of); a byte of 128 and up counts as a letter. The
// dropped token leaves a space. Other text is kept byte for byte.
std::string DropMixedTokens(std::string_view text);

// Polish number words from zero to the billions ("dwadzieścia pięć", "tysiąc dwieście",
// "trzy miliony"), with or without Polish letters and in any letter case, rewritten as
// digits; a run of number words makes one number. The result is upper case with Polish
// letters folded (as the matcher's normalised input already is); everything that is not a
// number word stays as it was. The exponents "do kwadratu", "do sześcianu" and "do potęgi
// drugiej" (to the tenth) become digits too.
std::string NumberWordsToDigits(std::string_view text);

}  // namespace plotrak
