// Feeds arbitrary bytes as a table file to the table engine: open, scan every field of every
// record, compile a key text over the table's fields and build an order from it, walk it, change
// a record and close. No crash, no hang, and what the engine reports stays within the file it
// read. The first input byte chooses the key text; the rest is the table file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "dbf/key_expression.h"
#include "dbf/order.h"

namespace {

using klango::dbf::DbfTable;
using klango::dbf::FieldType;

const std::filesystem::path& scratchFolder() {
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    static const std::filesystem::path folder = base / ("klango_dbf_fuzz_" + std::to_string(getpid()));
    return folder;
}

// A key text over the table's fields, chosen by selector: single terms of each kind the grammar
// knows (a field alone, upper(), str() with and without width, an alias), sums of several fields,
// and some texts that must not compile. Field names come from the (fuzzed) header as they are.
std::string keyText(const DbfTable& t, uint8_t selector) {
    const auto& fields = t.structure();
    const auto name = [&](size_t i) { return fields[i % fields.size()].name; };
    const size_t a = selector & 0x0F;
    const size_t b = a + 1 + ((selector >> 6) & 0x03);
    switch ((selector >> 4) & 0x0F) {
    case 0: return name(a);
    case 1: return "upper(" + name(a) + ")";
    case 2: return "str(" + name(a) + ")";
    case 3: return "str(" + name(a) + "," + std::to_string(selector % 24) + ")";
    case 4: return "DMP3->" + name(a) + " + " + name(b);
    case 5: return "upper(" + name(a) + ")+upper(" + name(b) + ")+str(" + name(b + 1) + ")";
    case 6: return " UPPER ( " + name(a) + " ) ";
    case 7: return name(a) + "+";
    case 8: return "upper(" + name(a);
    case 9: return "str(" + name(a) + ",x)";
    case 10: return "lower(" + name(a) + ")";
    case 11: return "";
    default: {
        std::string all;
        for (size_t i = 0; i < fields.size() && i < 8; ++i) all += (i ? "+" : "") + name(a + i);
        return all;
    }
    }
}

void scan(DbfTable& t) {
    double sum = 0;
    size_t chars = 0;
    uint32_t seen = 0;
    for (t.goTop(); !t.eof(); t.skip()) {
        if (++seen > t.lastRec()) std::abort();  // a view never holds more records than the file
        for (int f = 0; f < t.fieldCount(); ++f) {
            chars += t.getC(f).size();
            sum += t.getN(f);
            sum += t.getD(f).day;
            sum += t.getL(f);
        }
    }
    if (seen != t.count()) std::abort();
    if (sum == 0.5 && chars == 1) std::puts("");  // keep the reads
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] {
        std::filesystem::create_directories(scratchFolder());
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(scratchFolder(), ec);
        });
        return true;
    }();
    (void)ready;
    if (size == 0) return 0;
    const uint8_t selector = data[0];
    ++data;
    --size;
    const auto file = scratchFolder() / "fuzz.dbf";
    const auto index = scratchFolder() / "fuzz.ntx";
    if (std::FILE* out = std::fopen(file.c_str(), "wb")) {
        if (size > 0) std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    auto table = DbfTable::open(file);
    if (!table) return 0;
    if (table->fieldCount() < 1 || uint64_t(table->lastRec()) * uint64_t(table->recordLength()) > size) std::abort();
    scan(*table);

    int text = -1;
    for (int f = 0; f < table->fieldCount() && text < 0; ++f) {
        if (table->structure()[size_t(f)].type == FieldType::kCharacter) text = f;
    }
    klango::dbf::KeySpec key = klango::dbf::compileKey(table->structure(), keyText(*table, selector));
    if (key.build) {
        const size_t width = klango::dbf::keyWidth(key);
        if (width == 0) std::abort();  // a compiled key always has its fixed width
        const klango::dbf::Order* order = table->createOrder(index, std::move(key));
        if (order) scan(*table);
    }
    // A change that moves a record in the order, a deletion, and a seek in whatever order is current.
    if (text >= 0) {
        table->goBottom();
        table->skip(-3);
        if (!table->eof()) {
            const std::string prefix = table->getC(text).substr(0, 3);
            table->putC(text, "zz");
            table->deleteRecord();
            table->seek(klango::base::upperAZ(prefix), true);
            scan(*table);
        }
    }
    table->goTop();
    if (!table->eof()) table->recall();
    table->appendBlank();
    table->close();
    return 0;
}
