#include "base/value.h"

#include "base/text_format.h"

namespace klango::base {

Value Value::ofNumber(double n, int decimals) {
    Value v;
    v.kind = Kind::Number;
    v.number = n;
    v.decimals = decimals;
    return v;
}

Value Value::ofDate(base::Date d) {
    Value v;
    v.kind = Kind::Date;
    v.date = d;
    return v;
}

Value Value::ofLogical(bool b) {
    Value v;
    v.kind = Kind::Logical;
    v.logical = b;
    return v;
}

Value Value::ofList(std::vector<Value> items) {
    Value v;
    v.kind = Kind::List;
    v.items = std::move(items);
    return v;
}

Value Value::ofCallback() {
    Value v;
    v.kind = Kind::Callback;
    return v;
}

Value Value::ofObject(std::string className) {
    Value v;
    v.kind = Kind::Object;
    v.text = std::move(className);
    return v;
}

char typeLetter(const Value& v) {
    switch (v.kind) {
        case Value::Kind::Text:
            return 'C';
        case Value::Kind::Number:
            return 'N';
        case Value::Kind::Date:
            return 'D';
        case Value::Kind::Logical:
            return 'L';
        case Value::Kind::List:
            return 'A';
        case Value::Kind::Callback:
            return 'B';
        case Value::Kind::Object:
            return 'O';
        case Value::Kind::Empty:
            break;
    }
    return 'U';
}

std::string valueText(const Value& v) {
    switch (v.kind) {
        case Value::Kind::Text:
            return v.text;
        case Value::Kind::Number:
            return trimmedNumber(v.number, v.decimals);
        case Value::Kind::Date:
            return formatDate(v.date);
        case Value::Kind::Logical:
            return v.logical ? ".t." : ".f.";
        case Value::Kind::List:
            return "{ ... }";
        case Value::Kind::Callback:
            return "{|| ... }";
        case Value::Kind::Object:
            return "Object";
        case Value::Kind::Empty:
            break;
    }
    return {};
}

}  // namespace klango::base
