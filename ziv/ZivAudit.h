// ZivAudit: every line of a host file that the reader skipped or mended, or whose entity the
// write-back drops or changes, with its line number and the reason.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct TAuditFinding {
    int line = 0;  // 1-based; 0 for the file as a whole
    std::string reason;
    std::string text;  // the line, UTF-8, shortened
};

// Audits the host file at path (standard input for "-"), handing each finding to found as it
// is made, in line order; returns how many there were. Only the model and the current line
// are held. Throws TZivError when the file cannot be read.
size_t AuditHost(const std::string& path, const std::function<void(const TAuditFinding&)>& found);

// The findings of a host file in memory, in line order.
std::vector<TAuditFinding> AuditHostBytes(std::string_view bytes);

// "12: an unknown key: abc def", one line each.
std::string AuditText(const std::vector<TAuditFinding>& findings);
// One finding as compilers write theirs: "FILE:12: an unknown key: abc def"; a finding about
// the whole file "FILE: reason". Without a file name as AuditText.
std::string AuditLine(const std::string& file, const TAuditFinding& f);
