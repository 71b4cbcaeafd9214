// ZivAudit: every line of a host file that the reader skipped or mended, or whose entity the
// write-back drops or changes, with its line number and the reason.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TAuditFinding {
    int line = 0;  // 1-based; 0 for the file as a whole
    std::string reason;
    std::string text;  // the line, UTF-8, shortened
};

// The findings in line order.
std::vector<TAuditFinding> AuditHostBytes(std::string_view bytes);

// "12: an unknown key: abc def", one line each.
std::string AuditText(const std::vector<TAuditFinding>& findings);
