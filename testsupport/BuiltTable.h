#pragma once
// An image converted from a CMTBuilder, held under shared ownership the way
// the cache holds it, with views bound to it.
//
//   smis::test::CMTBuilder b;
//   b.olu(3).Status(0).SluCount(1).Slun(0, 3);
//   smis::test::BuiltTable t(b);
//   t.edit().OLUW(4).Olun(3);          // optional raw edits before the first view
//   auto view = t.view();
//   EXPECT_EQ(view->searchOlunFromOluTable(3), 3);

#include <memory>

#include "CMTBuilder.h"
#include "VELDARO_RefTable.h"

namespace smis::test {

class BuiltTable {
public:
    explicit BuiltTable(const CMTBuilder& builder);

    // The image, writable until the first view is made.
    cnfg_config_mgmt_table& edit() { return *_image; }
    std::unique_ptr<cimple::VELDARO_RefTable> view() const;

    std::shared_ptr<const cnfg_config_mgmt_table> image() const { return _image; }
    std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block() const { return _block; }

private:
    std::shared_ptr<CMM_CMT_GLOBAL_VAL_ELEM> _block;
    std::shared_ptr<cnfg_config_mgmt_table> _image;
};

}  // namespace smis::test
