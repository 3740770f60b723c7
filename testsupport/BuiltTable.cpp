#include "BuiltTable.h"

#include <gtest/gtest.h>

namespace smis::test {

BuiltTable::BuiltTable(const CMTBuilder& builder) : _block(builder.block()), _image(builder.image())
{
    EXPECT_TRUE(_block && _image) << "the builder's table did not convert";
}

std::unique_ptr<cimple::VELDARO_RefTable> BuiltTable::view() const
{
    return std::make_unique<cimple::VELDARO_RefTable>("10.0.0.1", _block, _image);
}

}  // namespace smis::test
