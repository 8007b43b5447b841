#pragma once
// Reads the airspaces of one kind from its parent file, its segment file
// and, when filtering by country, its country file. The segment and country
// files are indexed by key once, so the airspaces come in parent-file order
// and each finds its own lines wherever they stand. Pure logic; any one
// thread.

#include <cstddef>
#include <optional>
#include <string>

#include "tools/tandrel/airspace.h"
#include "tools/tandrel/dafif_file.h"

namespace tandrel {

struct ReadOptions {
    std::string countryCode;          // upper case; empty: no country filter
    bool exceptionRemarks = true;     // add a control airspace's exception remark to its label
};

class AirspaceReader {
  public:
    // The files must outlive the reader; countries may be null.
    AirspaceReader(AirspaceKind kind, const DafifFile& parents, const DafifFile& segments,
                   const DafifFile* countries);

    std::size_t Count() const { return parents_.RecordCount(); }
    // The identifier of airspace index, as the progress line shows it.
    std::string Identifier(std::size_t index) const;
    CAirspace Read(std::size_t index, const ReadOptions& options) const;

  private:
    void ReadParent(CAirspace& airspace, std::size_t index, const ReadOptions& options) const;
    bool MatchesCountry(const std::string& key, const std::string& code) const;

    AirspaceKind kind_;
    const DafifFile& parents_;
    KeyedLines segments_;
    std::optional<KeyedLines> countries_;
};

}  // namespace tandrel
