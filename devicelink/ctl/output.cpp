#include "output.h"

#include <cstdio>

#include "vazplatform/codepage.h"

namespace vazctl {
namespace {

void WriteJsonString(std::string& out, std::string_view s) {
    out.push_back('"');
    for (unsigned char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out.push_back(static_cast<char>(c));
                }
        }
    }
    out.push_back('"');
}

}  // namespace

std::string Cp936ToUtf8(std::string_view bytes) {
    return vazplat::Cp936ToUtf8(bytes, vazplat::BadInput::Latin1);
}

Value Value::Bool(bool b) {
    Value v;
    v.type_ = Type::Bool;
    v.bool_ = b;
    return v;
}

Value Value::Int(long long i) {
    Value v;
    v.type_ = Type::Int;
    v.int_ = i;
    return v;
}

Value Value::Text(std::string_view bytes) {
    Value v;
    v.type_ = Type::String;
    v.string_ = Cp936ToUtf8(bytes);
    return v;
}

Value Value::Array() {
    Value v;
    v.type_ = Type::Array;
    return v;
}

Value Value::Object() {
    Value v;
    v.type_ = Type::Object;
    return v;
}

Value Value::Ints(const int* values, int count) {
    Value v = Array();
    for (int i = 0; i < count; ++i) v.items_.push_back(Int(values[i]));
    return v;
}

Value& Value::Set(std::string key, Value v) {
    for (auto& [k, existing] : fields_) {
        if (k == key) {
            existing = std::move(v);
            return *this;
        }
    }
    fields_.emplace_back(std::move(key), std::move(v));
    return *this;
}

Value& Value::Push(Value v) {
    items_.push_back(std::move(v));
    return *this;
}

std::string Value::ToJson() const {
    std::string out;
    WriteJson(out);
    out.push_back('\n');
    return out;
}

void Value::WriteJson(std::string& out) const {
    switch (type_) {
        case Type::Null:
            out += "null";
            break;
        case Type::Bool:
            out += bool_ ? "true" : "false";
            break;
        case Type::Int:
            out += std::to_string(int_);
            break;
        case Type::String:
            WriteJsonString(out, string_);
            break;
        case Type::Array:
            out.push_back('[');
            for (std::size_t i = 0; i < items_.size(); ++i) {
                if (i > 0) out.push_back(',');
                items_[i].WriteJson(out);
            }
            out.push_back(']');
            break;
        case Type::Object:
            out.push_back('{');
            for (std::size_t i = 0; i < fields_.size(); ++i) {
                if (i > 0) out.push_back(',');
                WriteJsonString(out, fields_[i].first);
                out.push_back(':');
                fields_[i].second.WriteJson(out);
            }
            out.push_back('}');
            break;
    }
}

bool Value::IsScalarLine() const {
    if (type_ != Type::Array) return type_ != Type::Object;
    for (const auto& item : items_)
        if (item.type_ == Type::Array || item.type_ == Type::Object) return false;
    return true;
}

std::string Value::ToText() const {
    std::string out;
    WriteText(out, 0);
    return out;
}

void Value::WriteText(std::string& out, int indent) const {
    const std::string pad(static_cast<std::size_t>(indent), ' ');
    switch (type_) {
        case Type::Null:
            break;
        case Type::Bool:
            out += bool_ ? "yes" : "no";
            break;
        case Type::Int:
            out += std::to_string(int_);
            break;
        case Type::String:
            out += string_;
            break;
        case Type::Array:
            if (IsScalarLine()) {
                for (std::size_t i = 0; i < items_.size(); ++i) {
                    if (i > 0) out.push_back(' ');
                    items_[i].WriteText(out, 0);
                }
            } else {
                for (const auto& item : items_) {
                    if (item.IsScalarLine()) {
                        out += pad;
                        item.WriteText(out, 0);
                        out.push_back('\n');
                    } else {
                        item.WriteText(out, indent);
                        if (item.type_ == Type::Object) out.push_back('\n');
                    }
                }
            }
            break;
        case Type::Object:
            for (const auto& [key, value] : fields_) {
                out += pad + key + ":";
                if (value.IsScalarLine()) {
                    out.push_back(' ');
                    value.WriteText(out, 0);
                    out.push_back('\n');
                } else {
                    out.push_back('\n');
                    value.WriteText(out, indent + 2);
                }
            }
            break;
    }
}

}  // namespace vazctl
