// Names GoogleTest table rows after their `name` field, in test names and in failure messages.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

template <typename Row>
concept NamedRow = requires(const Row &row)
{
    std::string(row.name);
};

struct RowName {
    template <NamedRow Row> std::string operator()(const testing::TestParamInfo<Row> &row) const
    {
        return row.param.name;
    }
};

namespace rowname
{
// A failing row is shown by its name, not as a dump of its bytes. GoogleTest finds it by the row's
// namespace, so a test file brings it in with `using rowname::PrintTo;` beside its rows.
template <NamedRow Row> void PrintTo(const Row &row, std::ostream *out)
{
    *out << row.name;
}
} // namespace rowname
