#pragma once
// The copy relationships of an array, as the association providers of the
// copy sessions deliver them: every relationship of the array while
// enumerating, those of one local or remote volume for a request. Each
// provider gives the shape of the instance it delivers.

#include <cimple/cimple.h>

#include <cstdint>
#include <string>

#include "Association_Parent_Frame.h"
#include "VELDARO_StorageSynchronized.h"

namespace cimple {

struct Copy_Relationship_Walk {
    // Turns a built relationship into the instance delivered; takes it.
    // The ends move over as they are (the far end of a request is one of
    // them).
    using Shape = Instance* (*)(VELDARO_StorageSynchronized* built);

    // A request's source read as a volume of a copy session.
    struct Source {
        String address;         // the array that sees the sessions
        std::uint16_t number;   // the volume number
        std::uint8_t kind;      // 0 MLU-numbered, 1 OLU-numbered
        std::string box;        // the remote box ID of a remote volume, else empty
    };
    enum class Read { NOT_A_VOLUME, NOTHING, VOLUME };
    // NOT_A_VOLUME for a source of another class; NOTHING for a volume whose
    // keys name no array or no volume that can take part in a copy.
    static Read readSource(const Instance* source, Source& out);

    // Every relationship of the array the frame is on; false when one
    // cannot be built.
    static bool ofArray(Association_Parent_Frame& frame, Shape shape);
    // The relationships of the read source; the far end of each is the end
    // whose keys are not the source's. table is the array's open view.
    static bool ofSource(Association_Parent_Frame& frame, const VELDARO_RefTable& table, const Source& read,
                         const Instance* source, Shape shape);

    // The request worker of a copy relationship provider: onStorage(address,
    // body) is the provider's own (it opens and checks the array's table).
    template <class On_Storage>
    static int request(Association_Parent_Frame& frame, const Instance* source, Shape shape, On_Storage onStorage)
    {
        Source read;
        switch (readSource(source, read)) {
        case Read::NOT_A_VOLUME: return Association_Provider_Frame::checkProviderClass(source);
        case Read::NOTHING: return 0;
        case Read::VOLUME: break;
        }
        return onStorage(read.address,
                         [&](VELDARO_RefTable& table) { return ofSource(frame, table, read, source, shape); });
    }
};

}  // namespace cimple
