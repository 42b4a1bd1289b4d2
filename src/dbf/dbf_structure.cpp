#include "dbf/dbf_structure.h"

#include "base/cp1252.h"

namespace klango::dbf {

int recordLengthOf(const Structure& fields) {
    int len = 1;
    for (const auto& f : fields) len += f.width;
    return len;
}

void layoutFields(Structure& fields) {
    int offset = 1;
    for (auto& f : fields) {
        f.offset = offset;
        offset += f.width;
    }
}

int fieldIndexOf(const Structure& fields, std::string_view name) {
    std::string wanted = base::upperAZ(base::trim(name));
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].name == wanted) return int(i);
    }
    return -1;
}

}  // namespace klango::dbf
