// Making up the large shop's names and codes from the word lists.
#include "shopnames.h"

#include "isbn.h"
#include "shopwords.h"

#include <cstdio>
#include <iterator>
#include <span>

namespace shopnames {

namespace {

const char *pick(ShopRandom &random, std::span<const char *const> words) {
    return words[random.below(words.size())];
}

// Multiplying by a power of 3 modulo a power of 10 is a permutation, so the n-th code
// never repeats an earlier one.
std::uint64_t spread(int n, std::uint64_t salt, std::uint64_t modulus) {
    constexpr std::uint64_t kMultiplier = 387420489; // 3^18
    const auto product = static_cast<unsigned __int128>(n) * kMultiplier + salt % modulus;
    return static_cast<std::uint64_t>(product % modulus);
}

// The check digits as the program reads them at the counter.
char isbn10Check(const std::string &nine) {
    return isbn::isbn10Check(QString::fromLatin1(nine)).toLatin1();
}

char ean13Check(const std::string &twelve) {
    return isbn::ean13Check(QString::fromLatin1(twelve)).toLatin1();
}

std::string digits(std::uint64_t value, int width) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%0*llu", width, static_cast<unsigned long long>(value));
    return buffer;
}

} // namespace

std::string bookCode(int n, std::uint64_t salt, bool tenDigits) {
    const std::string body = digits(spread(n, salt, 1'000'000'000ULL), 9);
    if (tenDigits)
        return body + isbn10Check(body);
    std::string twelve = "978";
    twelve += body;
    return twelve + ean13Check(twelve);
}

std::string cdCode(int n, std::uint64_t salt) {
    std::string twelve = "4";
    twelve += digits(spread(n, salt, 100'000'000'000ULL), 11);
    return twelve + ean13Check(twelve);
}

std::string bookTitle(ShopRandom &random) {
    using namespace shopwords;
    const std::string adjective = pick(random, adjectives);
    const std::string noun = pick(random, nouns);
    switch (random.below(6)) {
    case 0:
        return "The " + adjective + " " + noun;
    case 1:
        return noun + " of " + pick(random, places);
    case 2:
        return "The " + noun + " of " + pick(random, places);
    case 3:
        return "A " + adjective + " " + noun + " in " + pick(random, places);
    case 4:
        return "The " + noun + " and the " + pick(random, nouns);
    default:
        return adjective + " " + noun + ": A History of " + pick(random, places);
    }
}

std::string chineseTitle(ShopRandom &random) {
    using namespace shopwords;
    const std::span words = chineseTitleWords;
    const auto first = random.below(words.size());
    const auto second = (first + 1 + random.below(words.size() - 1)) % words.size();
    return std::string(words[first]) + "的" + words[second];
}

std::string cdTitle(ShopRandom &random) {
    using namespace shopwords;
    const std::string adjective = pick(random, adjectives);
    const std::string noun = pick(random, nouns);
    switch (random.below(3)) {
    case 0:
        return adjective + " " + noun + " (CD)";
    case 1:
        return "Songs of the " + noun + " (CD)";
    default:
        return std::string(pick(random, places)) + " Sessions, Vol. " +
               std::to_string(random.between(1, 9)) + " (CD)";
    }
}

std::string person(ShopRandom &random) {
    using namespace shopwords;
    return std::string(pick(random, firstNames)) + " " + pick(random, lastNames);
}

std::string chinesePerson(ShopRandom &random) {
    return pick(random, shopwords::chineseNames);
}

int publisherCount() {
    return static_cast<int>(std::size(shopwords::publisherWords) *
                            std::size(shopwords::publisherKinds));
}

std::string publisher(int n) {
    using namespace shopwords;
    const std::span words = publisherWords;
    const std::span kinds = publisherKinds;
    const auto index = static_cast<std::size_t>(n);
    return std::string(words[index % words.size()]) + " " +
           kinds[(index / words.size()) % kinds.size()];
}

std::string supplier(int n) {
    const std::span names = shopwords::supplierNames;
    const auto index = static_cast<std::size_t>(n);
    if (index < names.size())
        return names[index];
    // Past the listed names: a place and a trade that no listed name ends in, numbered only
    // once the pairs run out.
    static const char *const kTrades[] = {"Book Traders", "Booksellers Ltd", "Book Exchange",
                                          "Music & Books"};
    const std::span places = shopwords::places;
    const std::size_t made = index - names.size();
    const std::size_t combinations = places.size() * std::size(kTrades);
    std::string name = std::string(places[made % places.size()]) + " " +
                       kTrades[made / places.size() % std::size(kTrades)];
    if (made >= combinations) {
        name += ' ';
        name += std::to_string(made / combinations + 1);
    }
    return name;
}

std::string address(ShopRandom &random) {
    using namespace shopwords;
    return std::to_string(random.between(1, 240)) + " " + pick(random, streets) + ", " +
           pick(random, cities);
}

std::string telephone(ShopRandom &random) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0%d-%07llu", random.between(2, 9),
                  static_cast<unsigned long long>(random.below(10'000'000)));
    return buffer;
}

void storedTime(int seconds, char (&buffer)[8]) {
    const int parts[3] = {seconds / 3600, seconds / 60 % 60, seconds % 60};
    for (int i = 0; i < 3; ++i) {
        buffer[3 * i] = static_cast<char>('0' + parts[i] / 10 % 10);
        buffer[3 * i + 1] = static_cast<char>('0' + parts[i] % 10);
        if (i < 2)
            buffer[3 * i + 2] = ':';
    }
}

} // namespace shopnames
