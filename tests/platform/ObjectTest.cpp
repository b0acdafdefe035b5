#include "platform/Object.h"

#include <gtest/gtest.h>

namespace {

class CArticThing : public CObject {
    VX_DECLARE_CLASS(CArticThing)
};
VX_IMPLEMENT_CLASS(CArticThing, CObject);

// No record of its own: reports its base's name.
class CArticThingPlain : public CArticThing {};

class CArticThingSpecial : public CArticThing {
    VX_DECLARE_CLASS(CArticThingSpecial)
};
VX_IMPLEMENT_CLASS(CArticThingSpecial, CArticThing);

TEST(RuntimeClass, NamesAndKinds) {
    CObject base;
    CArticThing thing;
    CArticThingPlain plain;
    CArticThingSpecial special;
    const CObject* objects[] = {&base, &thing, &plain, &special};
    const char* names[] = {"CObject", "CArticThing", "CArticThing", "CArticThingSpecial"};
    for (int i = 0; i < 4; ++i) EXPECT_STREQ(objects[i]->GetClassNameA(), names[i]);

    EXPECT_TRUE(special.IsKindOf(VX_RUNTIME_CLASS(CArticThing)));
    EXPECT_TRUE(special.IsKindOf(VX_RUNTIME_CLASS(CObject)));
    EXPECT_TRUE(plain.IsKindOf(VX_RUNTIME_CLASS(CArticThing)));
    EXPECT_FALSE(plain.IsKindOf(VX_RUNTIME_CLASS(CArticThingSpecial)));
    EXPECT_FALSE(thing.IsKindOf(VX_RUNTIME_CLASS(CArticThingSpecial)));
    EXPECT_FALSE(base.IsKindOf(VX_RUNTIME_CLASS(CArticThing)));
    EXPECT_EQ(CArticThingSpecial::classCArticThingSpecial.m_pBaseClass, &CArticThing::classCArticThing);
    EXPECT_EQ(CObject::classCObject.m_pBaseClass, nullptr);
}

}  // namespace
