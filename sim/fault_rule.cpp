#include "sim/fault_rule.h"

#include <sstream>
#include <vector>

#include "link/frame.h"

namespace {

bool ParseCommand(const std::string& text, int& command) {
    if (text == "all") {
        command = -1;
        return true;
    }
    for (const CommandInfo& info : kCommands) {
        std::string name = info.name;
        if (text == name || "CMD_" + text == name) {
            command = info.code;
            return true;
        }
    }
    try {
        size_t used = 0;
        int code = std::stoi(text, &used, 16);
        if (used == text.size() && FindCommand(static_cast<uint8_t>(code)) && code < 256) {
            command = code;
            return true;
        }
    } catch (const std::exception&) {
    }
    return false;
}

bool ParseKind(const std::string& text, FaultKind& kind) {
    static const std::pair<const char*, FaultKind> kKinds[] = {
        {"none", FaultKind::None},       {"silent", FaultKind::Silent}, {"wrong-header", FaultKind::WrongHeader},
        {"short-body", FaultKind::ShortBody}, {"status", FaultKind::Status}, {"late", FaultKind::Late},
        {"garbage", FaultKind::Garbage}, {"empty", FaultKind::Empty},   {"hangup", FaultKind::Hangup},
        {"count-byte", FaultKind::CountByte}, {"store", FaultKind::Store}, {"flip-bit", FaultKind::FlipBit},
    };
    for (const auto& [name, value] : kKinds) {
        if (text == name) {
            kind = value;
            return true;
        }
    }
    return false;
}

bool ParseInt(const std::string& text, int& value) {
    try {
        size_t used = 0;
        value = std::stoi(text, &used, 10);
        return used == text.size();
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

bool ParseFaultRule(const std::string& text, FaultRule& rule, std::string& error) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    for (std::string part; std::getline(stream, part, ':');) parts.push_back(part);
    if (parts.size() < 2 || parts.size() > 5) {
        error = "a fault is COMMAND:KIND[:ARG[:SKIP[:TIMES]]]: " + text;
        return false;
    }
    rule = FaultRule{};
    if (!ParseCommand(parts[0], rule.command)) {
        error = "unknown command in fault: " + parts[0];
        return false;
    }
    if (!ParseKind(parts[1], rule.kind)) {
        error = "unknown fault kind: " + parts[1];
        return false;
    }
    int* numbers[] = {&rule.arg, &rule.skip, &rule.times};
    for (size_t i = 2; i < parts.size(); ++i) {
        if (!ParseInt(parts[i], *numbers[i - 2])) {
            error = "not a number in fault: " + parts[i];
            return false;
        }
    }
    return true;
}
