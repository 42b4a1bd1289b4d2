// A value of the runtime as an error record carries it: its kind and its content, so that the
// error log can render dates, logicals, numbers and lists each in their own way. Built by whoever
// raises an error; rendered by the error handler.
#pragma once

#include <string>
#include <vector>

#include "base/date.h"

namespace klango::base {

struct Value {
    enum class Kind { Empty, Text, Number, Date, Logical, List, Callback, Object };

    Kind kind = Kind::Empty;
    std::string text;  // Text (CP1252); the class name of an Object
    double number = 0;
    int decimals = 0;  // decimals a Number shows
    base::Date date;
    bool logical = false;
    std::vector<Value> items;  // List

    Value() = default;
    Value(std::string t) : kind(Kind::Text), text(std::move(t)) {}
    Value(const char* t) : kind(Kind::Text), text(t) {}

    static Value ofNumber(double n, int decimals = 0);
    static Value ofDate(base::Date d);
    static Value ofLogical(bool b);
    static Value ofList(std::vector<Value> items);
    static Value ofCallback();
    static Value ofObject(std::string className);
};

// The type letter: C text, N number, D date, L logical, A list, B callback, O object, U empty.
char typeLetter(const Value& v);

// The general value-to-text rule: text as it is, a date as dd.mm.yyyy, a logical as ".t."/".f.",
// a number trimmed, a callback as "{|| ... }", a list as "{ ... }", an object as "Object", empty
// as nothing.
std::string valueText(const Value& v);

}  // namespace klango::base
