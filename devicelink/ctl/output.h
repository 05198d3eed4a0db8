// What vazctl prints: a small tree of values that is written either as JSON
// (one object per run) or as plain "key: value" text for people and awk.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vazctl {

class Value {
public:
    enum class Type { Null, Bool, Int, String, Array, Object };

    Value() = default;
    static Value Bool(bool b);
    static Value Int(long long i);
    // `bytes` are code page 936 text from the reader or the library.
    static Value Text(std::string_view bytes);
    static Value Array();
    static Value Object();
    static Value Ints(const int* values, int count);

    Value& Set(std::string key, Value v);  // objects: appends or replaces
    Value& Push(Value v);                  // arrays
    Type type() const { return type_; }

    std::string ToJson() const;
    // Text form: one "key: value" line per field, arrays of numbers on one
    // line, nested objects indented.
    std::string ToText() const;

private:
    void WriteJson(std::string& out) const;
    void WriteText(std::string& out, int indent) const;
    bool IsScalarLine() const;

    Type type_ = Type::Null;
    bool bool_ = false;
    long long int_ = 0;
    std::string string_;  // UTF-8
    std::vector<Value> items_;
    std::vector<std::pair<std::string, Value>> fields_;
};

// Code page 936 bytes to UTF-8; bytes that do not convert come out as
// U+0080..U+00FF of the same value, so nothing is lost silently.
std::string Cp936ToUtf8(std::string_view bytes);

}  // namespace vazctl
