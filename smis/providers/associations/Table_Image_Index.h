#pragma once
// What every index built once per table image shares: the shared index of
// a view's image (built on first use and kept while the image lives, see
// SMIS_ImageIndexCache), the test of the image (and bounds block) it was
// built from, and its staleness once the image is gone.
//
//   class My_Index : public Table_Image_Index<My_Index> {
//   public:
//       explicit My_Index(const VELDARO_RefTable& table);   // builds it
//       ...
//   };
//   auto index = My_Index::of(table);   // NULL without an image or memory

#include <cstddef>
#include <memory>

#include "SMIS_ImageIndexCache.h"
#include "VELDARO_RefTable.h"

namespace cimple {

template <class Index>
class Table_Image_Index {
public:
    // The shared index of the view's image (built on first use); NULL
    // without an image or when memory runs out.
    static std::shared_ptr<const Index> of(const VELDARO_RefTable& table)
    {
        if (!table.sharedImage())
            return nullptr;
        return cache().get([&](const Index& x) { return x.isFor(table); },
                           [&] { return std::make_shared<const Index>(table); });
    }
    // Indexes held for live images (for tests).
    static std::size_t cachedCount() { return cache().liveCount(); }

    // Built from the view's image and bounds (by ownership of the image, so
    // a later image at a reused address is never taken for this one).
    bool isFor(const VELDARO_RefTable& table) const
    {
        const auto& image = table.sharedImage();
        return image && !_image.owner_before(image) && !image.owner_before(_image) && _block == table.globalBlock();
    }
    bool stale() const { return _image.expired(); }

protected:
    explicit Table_Image_Index(const VELDARO_RefTable& table)
        : _image(table.sharedImage()), _block(table.globalBlock())
    {
    }

private:
    static SMIS_ImageIndexCache<Index>& cache()
    {
        static auto* c = new SMIS_ImageIndexCache<Index>;  // outlives every static reader
        return *c;
    }

    std::weak_ptr<const cnfg_config_mgmt_table> _image;
    const CMM_CMT_GLOBAL_VAL_ELEM* _block;
};

}  // namespace cimple
