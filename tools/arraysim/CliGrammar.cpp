#include "CliGrammar.hpp"

#include <algorithm>
#include <cctype>
#include <set>
#include <stdexcept>

namespace arraysim {

namespace {

enum class Format {
    Number,     // decimal 0..65535
    Numbers,    // decimal 0..65535 joined by ",", at most 512 entries
    Disks,      // per disk two hexadecimal enclosure digits and two decimal slot digits, joined by ","
    Size,       // decimal megabytes followed by "mb"
    Name,       // 1..16 printable characters
    IscsiName,  // 1..223 printable characters
    Identifier, // 16 hexadecimal digits (WWN or SAS address)
    Port,       // three decimal digits
    BoxId,      // 1..40 printable characters
    Word,       // one of the listed words
};

struct OptionSpec {
    const char* name;
    Format format;
    bool required;
    std::vector<std::string> words = {};
};

struct CommandSpec {
    const char* name;
    std::vector<OptionSpec> options;
};

const std::vector<CommandSpec>& commands() {
    static const std::vector<CommandSpec> all = {
        {"create raid-group",
         {{"-rg-number", Format::Number, true}, {"-name", Format::Name, false}, {"-disks", Format::Disks, true},
          {"-level", Format::Word, true, {"0", "1", "5", "6", "10", "50"}}}},
        {"delete raid-group", {{"-rg-number", Format::Numbers, true}}},
        {"create volume",
         {{"-volume-number", Format::Number, true}, {"-name", Format::Name, false},
          {"-rg-number", Format::Number, false}, {"-pool-number", Format::Number, false},
          {"-type", Format::Word, true, {"open", "tpv"}}, {"-size", Format::Size, true}}},
        {"delete volume", {{"-volume-number", Format::Numbers, true}}},
        {"expand volume", {{"-volume-number", Format::Number, true}, {"-size", Format::Size, true}}},
        {"set volume", {{"-volume-number", Format::Number, true}, {"-name", Format::Name, false}}},
        {"create thin-pro-pool",
         {{"-name", Format::Name, false}, {"-attribute", Format::Word, true, {"online", "nearline", "ssd", "sed"}},
          {"-level", Format::Word, true, {"0", "1", "5", "6", "10"}},
          {"-rg-mode", Format::Word, true, {"manual"}}, {"-disks", Format::Disks, true}}},
        {"delete thin-pro-pool", {{"-pool-number", Format::Numbers, true}}},
        {"expand thin-pro-pool",
         {{"-pool-number", Format::Number, true}, {"-rg-mode", Format::Word, true, {"manual"}},
          {"-disks", Format::Disks, true}}},
        {"create affinity-group",
         {{"-ag-number", Format::Number, true}, {"-name", Format::Name, false},
          {"-volume-number", Format::Numbers, true}, {"-lun", Format::Numbers, true}}},
        {"set affinity-group",
         {{"-ag-number", Format::Number, true}, {"-name", Format::Name, false},
          {"-volume-number", Format::Numbers, true}, {"-lun", Format::Numbers, true}}},
        {"delete affinity-group", {{"-ag-number", Format::Number, true}, {"-lun", Format::Numbers, false}}},
        {"set mapping",
         {{"-port", Format::Port, true}, {"-volume-number", Format::Numbers, true}, {"-lun", Format::Numbers, true}}},
        {"release mapping", {{"-port", Format::Port, true}, {"-lun", Format::Numbers, true}}},
        {"create host-wwn-name",
         {{"-wwn", Format::Identifier, true}, {"-host-number", Format::Number, true}, {"-name", Format::Name, false}}},
        {"create host-sas-address",
         {{"-address", Format::Identifier, true}, {"-host-number", Format::Number, true},
          {"-name", Format::Name, false}}},
        {"delete host-wwn-name", {{"-host-number", Format::Numbers, true}}},
        {"delete host-sas-address", {{"-host-number", Format::Numbers, true}}},
        {"create host-iscsi-name",
         {{"-host-number", Format::Number, true}, {"-iscsi-name", Format::IscsiName, true},
          {"-name", Format::Name, false}}},
        {"delete host-iscsi-name", {{"-host-number", Format::Numbers, true}}},
        {"set host-affinity",
         {{"-port", Format::Port, true}, {"-host-number", Format::Numbers, true}, {"-ag-number", Format::Numbers, true}}},
        {"release host-affinity", {{"-port", Format::Port, true}, {"-host-number", Format::Numbers, true}}},
        {"start copy-tirn",
         {{"-source-volume-number", Format::Number, true}, {"-destination-volume-number", Format::Number, true}}},
        {"start copy-snap-tirn",
         {{"-mode", Format::Word, true, {"normal", "plus"}}, {"-source-volume-number", Format::Number, true},
          {"-destination-volume-number", Format::Number, true}}},
        {"start copy-mirrex",
         {{"-source-volume-number", Format::Number, true}, {"-destination-volume-number", Format::Number, true},
          {"-secondary-access", Format::Word, true, {"0", "1"}}}},
        {"start copy-xmirrex",
         {{"-source-boxid", Format::BoxId, true}, {"-source-volume-number", Format::Number, true},
          {"-destination-boxid", Format::BoxId, true}, {"-destination-volume-number", Format::Number, true},
          {"-secondary-access", Format::Word, true, {"0", "1"}}, {"-xfer-mode", Format::Word, true, {"10"}},
          {"-split", Format::Word, true, {"0", "1"}}, {"-recovery", Format::Word, true, {"0", "1"}}}},
        {"stop copy-session",
         {{"-session-id", Format::Number, true}, {"-mode", Format::Word, false, {"force", "stop-tracking"}}}},
        {"change copy-mirrex", {{"-session-id", Format::Number, true}, {"-action", Format::Word, true, {"reverse"}}}},
        {"change copy-xmirrex", {{"-session-id", Format::Number, true}, {"-action", Format::Word, true, {"reverse"}}}},
        {"suspend copy-mirrex", {{"-session-id", Format::Number, true}, {"-mode", Format::Word, false, {"normal"}}}},
        {"suspend copy-xmirrex",
         {{"-session-id", Format::Number, true}, {"-mode", Format::Word, false, {"normal", "force", "concurrent"}}}},
        {"resume copy-mirrex", {{"-session-id", Format::Number, true}}},
        {"resume copy-xmirrex",
         {{"-session-id", Format::Number, true}, {"-remain-mode", Format::Word, false, {"enable", "disable"}}}},
    };
    return all;
}

bool printable(const std::string& v) {
    return std::all_of(v.begin(), v.end(), [](unsigned char c) { return c > 0x20 && c < 0x7F; });
}

bool decimal(const std::string& v, std::uint64_t max) {
    if (v.empty() || v.size() > 5) return false;
    if (!std::all_of(v.begin(), v.end(), [](unsigned char c) { return std::isdigit(c); })) return false;
    return std::stoull(v) <= max;
}

std::vector<std::string> split(const std::string& v, char sep) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const auto at = v.find(sep, start);
        out.push_back(v.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return out;
        start = at + 1;
    }
}

bool valid(const OptionSpec& o, const std::string& v) {
    switch (o.format) {
    case Format::Number: return decimal(v, 0xFFFF);
    case Format::Numbers: {
        const auto parts = split(v, ',');
        if (parts.size() > 512) return false;
        return std::all_of(parts.begin(), parts.end(), [](const std::string& p) { return decimal(p, 0xFFFF); });
    }
    case Format::Disks: {
        const auto parts = split(v, ',');
        if (parts.size() > 128) return false;
        return std::all_of(parts.begin(), parts.end(), [](const std::string& p) {
            return p.size() == 4 && std::isxdigit(static_cast<unsigned char>(p[0])) &&
                   std::isxdigit(static_cast<unsigned char>(p[1])) && std::isdigit(static_cast<unsigned char>(p[2])) &&
                   std::isdigit(static_cast<unsigned char>(p[3])) && std::stoi(p.substr(2)) < 32;
        });
    }
    case Format::Size: {
        if (v.size() < 3 || v.size() > 12 || v.compare(v.size() - 2, 2, "mb") != 0) return false;
        const std::string n = v.substr(0, v.size() - 2);
        if (!std::all_of(n.begin(), n.end(), [](unsigned char c) { return std::isdigit(c); })) return false;
        const auto mb = std::stoull(n);
        return mb >= 1 && mb <= 0xFFFFFFFFull;
    }
    case Format::Name: return !v.empty() && v.size() <= 16 && printable(v);
    case Format::IscsiName: return !v.empty() && v.size() <= 223 && printable(v);
    case Format::BoxId: return !v.empty() && v.size() <= 40 && printable(v);
    case Format::Identifier:
        return v.size() == 16 &&
               std::all_of(v.begin(), v.end(), [](unsigned char c) { return std::isxdigit(c); });
    case Format::Port:
        return v.size() == 3 && v[0] >= '0' && v[0] <= '7' && v[1] >= '0' && v[1] <= '3' && v[2] >= '0' &&
               v[2] <= '3';
    case Format::Word: return std::find(o.words.begin(), o.words.end(), v) != o.words.end();
    }
    return false;
}

}  // namespace

const std::string& CliCommand::text(const std::string& option) const {
    static const std::string none;
    auto it = options.find(option);
    return it == options.end() ? none : it->second;
}

std::uint64_t CliCommand::number(const std::string& option) const {
    const std::string& v = text(option);
    if (v.size() > 2 && v.compare(v.size() - 2, 2, "mb") == 0) return std::stoull(v.substr(0, v.size() - 2));
    return std::stoull(v);
}

std::vector<std::uint64_t> CliCommand::numbers(const std::string& option) const {
    std::vector<std::uint64_t> out;
    for (auto& p : split(text(option), ',')) out.push_back(std::stoull(p));
    return out;
}

bool CliGrammar::parse(const std::string& line, CliCommand& command, CliOutcome& refusal) {
    using cli_msg::kSyntax;
    command = CliCommand{};
    const auto words = split(line, ' ');
    // Blanks separate words one by one; control characters never belong to a command.
    for (auto& w : words)
        if (w.empty() || !printable(w)) {
            refusal = CliOutcome::refuse(kSyntax, w.empty() ? std::string("(blank)") : w, line);
            return false;
        }
    if (words.size() < 2) {
        refusal = CliOutcome::refuse(kSyntax, words.empty() ? std::string{} : words[0], line);
        return false;
    }
    const std::string name = words[0] + " " + words[1];
    auto spec = std::find_if(commands().begin(), commands().end(), [&](const CommandSpec& c) { return name == c.name; });
    if (spec == commands().end()) {
        refusal = CliOutcome::refuse(kSyntax, words[1], name);
        return false;
    }
    command.name = name;
    for (std::size_t i = 2; i < words.size(); i += 2) {
        const std::string& opt = words[i];
        auto o = std::find_if(spec->options.begin(), spec->options.end(),
                              [&](const OptionSpec& s) { return opt == s.name; });
        if (o == spec->options.end()) {
            refusal = CliOutcome::refuse(kSyntax, opt);
            return false;
        }
        if (command.has(opt)) {
            refusal = CliOutcome::refuse(kSyntax, opt, i + 1 < words.size() ? words[i + 1] : std::string{});
            return false;
        }
        if (i + 1 >= words.size()) {
            refusal = CliOutcome::refuse(kSyntax, opt);
            return false;
        }
        const std::string& value = words[i + 1];
        if (!valid(*o, value)) {
            refusal = CliOutcome::refuse(kSyntax, opt, value);
            return false;
        }
        command.options[opt] = value;
    }
    for (auto& o : spec->options)
        if (o.required && !command.has(o.name)) {
            refusal = CliOutcome::refuse(kSyntax, o.name);
            return false;
        }
    return true;
}

std::vector<std::string> CliGrammar::commandNames() {
    std::vector<std::string> out;
    for (auto& c : commands()) out.push_back(c.name);
    return out;
}

}  // namespace arraysim
