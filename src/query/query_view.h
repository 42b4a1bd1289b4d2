// The filtered view of the open table: one more order with a condition (a filter or the hits of
// a search), attached beside the six standard orders and made current, so that removing it
// returns to the sort order in force before without rebuilding anything. Keeps the message bar
// ("Titel:", "Markiert:", "Filter !" / "kein Filter") and LTAB_FILT true to it. One per program,
// shared by the filter and the search; GUI thread.
#pragma once

#include <cstdint>
#include <filesystem>

#include "dbf/order_spec.h"

namespace klango::dbf {
class DbfTable;
class Order;
}  // namespace klango::dbf
namespace klango::shell {
struct Shell;
}

namespace klango::query {

class QueryView {
public:
    explicit QueryView(shell::Shell& shell) : m_shell(shell) {}

    // The open track table (DMP3), nullptr when none is open.
    dbf::DbfTable* table() const;
    // Is a view of ours attached to the open table now?
    bool inForce() const;

    // Builds the order into file and, when it holds at least one record, makes it the view in
    // place of any view in force; the message bar and LTAB_FILT follow. When it holds none it is
    // dropped, and whatever was shown before stays shown. Returns the number of records in the
    // new view (0: nothing changed).
    uint32_t show(const std::filesystem::path& file, dbf::KeySpec key, dbf::OrderOptions options);
    // MP3KILLFILTER's table work: the view order goes, its file is deleted, the sort order in force
    // before comes back on its first record, and the message bar says "kein Filter". Does nothing
    // but clearing LTAB_FILT when no view of ours is attached.
    void remove();
    // Rewrites "Titel:" and "Markiert:" for what the table shows; LTAB_TAGG follows.
    void showCounts();
    static long countMarks(const dbf::DbfTable& table);

private:
    int position() const;  // of our order among the attached ones, 0 when it is not attached
    void forget();

    shell::Shell& m_shell;
    // The marks among the view's records, counted while its order was built; good while the
    // view is current and the table unchanged since (its change count).
    const dbf::Order* m_marksOrder = nullptr;
    uint64_t m_marksAt = 0;
    long m_marks = 0;
    dbf::DbfTable* m_table = nullptr;
    dbf::Order* m_order = nullptr;
    std::filesystem::path m_file;
    int m_returnOrder = 0;
};

}  // namespace klango::query
