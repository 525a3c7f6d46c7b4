// The names a shop on a server shares between its tools and the program: the two group roles
// the shop's logins are members of, and the sale's own function.
#pragma once

namespace serverroles {

// The tills: the counter's work (the catalogue, offers and sales read; sales booked through
// the sale's function; their own top-sellers summary).
inline constexpr char kTill[] = "quillmart_till";
// The back office: purchasing, bills, the maintenance screens, and the tills' work too.
inline constexpr char kOffice[] = "quillmart_office";
// Books one sale: lowers a title's stock and writes the sale row, as the shop's owner.
inline constexpr char kBookSale[] = "quillmart_book_sale";
// Stores a receipt as its till made it, each part once, as the shop's owner (version 3).
inline constexpr char kStoreReceipt[] = "quillmart_store_receipt";

} // namespace serverroles
