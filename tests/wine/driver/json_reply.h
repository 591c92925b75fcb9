// One JSON object, built field by field: the driver's answers.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

inline std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
    return out;
}

inline std::string JsonTexts(const std::vector<std::string>& texts) {
    std::string list = "[";
    for (const std::string& text : texts) {
        if (list.size() > 1) list += ',';
        list += JsonString(text);
    }
    list += ']';
    return list;
}

class Json {
public:
    Json& Raw(const char* name, const std::string& json) {
        if (!body_.empty()) body_ += ',';
        body_ += JsonString(name);
        body_ += ':';
        body_ += json;
        return *this;
    }
    Json& Text(const char* name, const std::string& text) { return Raw(name, JsonString(text)); }
    Json& Number(const char* name, long long value) { return Raw(name, std::to_string(value)); }
    Json& Bool(const char* name, bool value) { return Raw(name, value ? "true" : "false"); }
    Json& Texts(const char* name, const std::vector<std::string>& texts) { return Raw(name, JsonTexts(texts)); }
    Json& TextRows(const char* name, const std::vector<std::vector<std::string>>& rows) {
        std::string list = "[";
        for (const std::vector<std::string>& row : rows) {
            if (list.size() > 1) list += ',';
            list += JsonTexts(row);
        }
        list += ']';
        return Raw(name, list);
    }
    Json& Objects(const char* name, const std::vector<Json>& objects) {
        std::string list = "[";
        for (const Json& object : objects) {
            if (list.size() > 1) list += ',';
            list += object.Str();
        }
        list += ']';
        return Raw(name, list);
    }
    std::string Str() const {
        std::string out = "{";
        out += body_;
        out += '}';
        return out;
    }

private:
    std::string body_;
};
