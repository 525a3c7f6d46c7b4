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
// A till's session work as the shop's owner (version 4): opening and closing its own till's
// session, cash paid in and out, refunds, voids.
inline constexpr char kOpenSession[] = "quillmart_open_session";
inline constexpr char kMoveCash[] = "quillmart_move_cash";
inline constexpr char kCloseSession[] = "quillmart_close_session";
inline constexpr char kStoreRefund[] = "quillmart_store_refund";
inline constexpr char kStoreVoid[] = "quillmart_store_void";
// A receipt a till made while the server was away: its arrival recorded, or its refusal for
// good kept for the back office (version 6).
inline constexpr char kReceiptReceived[] = "quillmart_receipt_received";
inline constexpr char kRefuseReceipt[] = "quillmart_refuse_receipt";
// A session's figures so far, the back office's (version 4).
inline constexpr char kSessionTotals[] = "quillmart_session_totals";
inline constexpr char kSessionMethods[] = "quillmart_session_methods";
// Adds a title a till's customer ordered that the catalogue does not hold (version 5).
inline constexpr char kAddOrderedTitle[] = "quillmart_add_ordered_title";

} // namespace serverroles
