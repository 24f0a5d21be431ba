#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Object.h"

namespace {
class TShape : public TPersistent {
    ZELMOR_CLASS(TShape, TPersistent)
    int Size = 0;
    void Assign(TPersistent* Source) override {
        if (auto* s = dynamic_cast<TShape*>(Source)) {
            Size = s->Size;
            return;
        }
        inherited::Assign(Source);
    }
};
class TSquare : public TShape {
    ZELMOR_CLASS(TSquare, TShape)
};
class TOther : public TPersistent {
    ZELMOR_CLASS(TOther, TPersistent)
};
ZELMOR_IMPLEMENT_CLASS(TShape, TPersistent)
ZELMOR_IMPLEMENT_CLASS_FACTORY(TSquare, TShape, [](TObject*) -> TObject* { return new TSquare; })
ZELMOR_IMPLEMENT_CLASS(TOther, TPersistent)
}  // namespace

TEST(ClassModel, AncestryAndNamesIgnoreCase) {
    TSquare sq;
    EXPECT_EQ(sq.ClassName(), "TSquare");
    EXPECT_TRUE(sq.IsClassNamed("tshape"));
    EXPECT_TRUE(sq.IsClassNamed("TPERSISTENT"));
    EXPECT_FALSE(sq.IsClassNamed("TOther"));
    EXPECT_TRUE(sq.InheritsFrom(TShape::StaticClassInfo()));
    EXPECT_FALSE(TShape().InheritsFrom(TSquare::StaticClassInfo()));
}

TEST(ClassModel, RegistryFindsByNameAndKeepsTheFirst) {
    RegisterClass(TSquare::StaticClassInfo());
    EXPECT_EQ(GetClass("tsquare"), &TSquare::StaticClassInfo());
    EXPECT_EQ(GetClass("TClientDataSet"), nullptr);
    EXPECT_THROW(FindClass("TNowhere"), EClassNotFound);
    TObject* o = FindClass("TSQUARE").Create(nullptr);
    EXPECT_EQ(o->ClassName(), "TSquare");
    o->Free();
    EXPECT_THROW(TShape::StaticClassInfo().Create(nullptr), EInvalidOperation);
    UnRegisterClass(TSquare::StaticClassInfo());
    EXPECT_EQ(GetClass("TSquare"), nullptr);
}

TEST(ClassModel, AssignBetweenUnrelatedClassesSaysWhich) {
    TShape a, b;
    b.Size = 7;
    a.Assign(&b);
    EXPECT_EQ(a.Size, 7);
    TOther other;
    try {
        other.Assign(&a);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TShape to a TOther");
    }
    EXPECT_THROW(a.Assign(nullptr), EConvertError);
}

TEST(ClassModel, EventsAndSets) {
    TNotifyEvent e;
    EXPECT_FALSE(Assigned(e));
    int calls = 0;
    e = [&](TObject*) { ++calls; };
    ASSERT_TRUE(Assigned(e));
    e(nullptr);
    EXPECT_EQ(calls, 1);
    e = nullptr;
    EXPECT_FALSE(Assigned(e));

    enum class Color { Red, Green, Blue };
    TSet<Color> s{Color::Red};
    s.Include(Color::Blue);
    EXPECT_TRUE(s.Contains(Color::Blue));
    EXPECT_FALSE(s.Contains(Color::Green));
    EXPECT_EQ((s - TSet<Color>{Color::Red}).Bits(), 4u);
}

namespace {
class TDescribed : public TPersistent {
    ZELMOR_CLASS(TDescribed, TPersistent)
    static void DescribeProperties(TPropertyTable&) {}
};
class TUndescribed : public TDescribed {
    ZELMOR_CLASS(TUndescribed, TDescribed)
};
ZELMOR_IMPLEMENT_CLASS(TDescribed, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TUndescribed, TDescribed)
}  // namespace

TEST(ClassModel, OnlyAClassThatDescribesPropertiesHasItsOwnTable) {
    EXPECT_EQ(TDescribed::StaticClassInfo().Describe, &TDescribed::DescribeProperties);
    EXPECT_EQ(TUndescribed::StaticClassInfo().Describe, nullptr);
    EXPECT_EQ(TPersistent::StaticClassInfo().Describe, nullptr);
}
