// Made-up names for the large shop: codes with valid check digits, book and CD titles,
// people, publishers and suppliers, drawn from the word lists with the shop's own random
// numbers.
#pragma once

#include "shoprandom.h"

#include <string>

namespace shopnames {

// The n-th distinct ISBN of the catalogue: mostly 13-digit ISBNs, some old 10-digit ones;
// `salt` varies the numbers between seeds without ever making two alike.
std::string bookCode(int n, std::uint64_t salt, bool tenDigits);
// The n-th distinct EAN-13 of a CD.
std::string cdCode(int n, std::uint64_t salt);

std::string bookTitle(ShopRandom &random);
std::string chineseTitle(ShopRandom &random);
std::string cdTitle(ShopRandom &random);
std::string person(ShopRandom &random);
std::string chinesePerson(ShopRandom &random);
std::string publisher(int n);
int publisherCount();
std::string supplier(int n);
std::string address(ShopRandom &random);
std::string telephone(ShopRandom &random);

// The stored form of a time of day ("14:05:09") from seconds after midnight, written into
// the buffer without its terminating zero.
void storedTime(int seconds, char (&buffer)[8]);

} // namespace shopnames
