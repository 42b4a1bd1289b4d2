#include "dbf/record_view.h"

#include "dbf/field_codec.h"

namespace klango::dbf {

double decodeNumber(std::string_view raw) { return codec::decodeNumeric(raw); }

bool decodeLogical(std::string_view raw) { return codec::decodeLogical(raw); }

double RecordView::number(int field) const { return codec::decodeNumeric(raw(field)); }

base::Date RecordView::date(int field) const { return codec::decodeDate(raw(field)); }

bool RecordView::logical(int field) const { return codec::decodeLogical(raw(field)); }

}  // namespace klango::dbf
