// GUI context: property table, fonts, registries, start-up.
#include "gui_test_util.h"

using ContextTest = GuiTest;

TEST_F(ContextTest, PropertyIds) {
  uintptr_t v = 0;
  EXPECT_EQ(ctx->GetProperty(2, &v), GUI_ERR_BAD_ID);
  EXPECT_EQ(ctx->SetProperty(34, 1), GUI_ERR_BAD_ID);
  EXPECT_EQ(ctx->SetProperty(2, 1), GUI_ERR_BAD_ID);
  EXPECT_EQ(ctx->GetProperty(GP_FONT_2, &v), GUI_ERR_NOT_SET);
}

TEST_F(ContextTest, FontPropertiesKeepOrCopy) {
  c_GUIB_Font *mine = MakeTestFont();
  ASSERT_EQ(ctx->SetProperty(GP_FONT, reinterpret_cast<uintptr_t>(mine)), 0u);
  EXPECT_EQ(mine->RefCount(), 2);  // kept itself
  uintptr_t v = 0;
  ASSERT_EQ(ctx->GetProperty(GP_FONT, &v), 0u);
  EXPECT_EQ(reinterpret_cast<c_GUIB_Font *>(v), mine);
  EXPECT_EQ(mine->RefCount(), 3);
  mine->Release();

  ASSERT_EQ(ctx->SetProperty(GP_FONT_2, reinterpret_cast<uintptr_t>(mine)), 0u);
  EXPECT_EQ(mine->RefCount(), 2);  // a private copy, no reference to mine
  ASSERT_TRUE(mine->InsertGlyph(200, c_GUIB_Font::Glyph{3, 3, 0, 0, new c_GUIB_Bitmap(3, 3)}));
  ASSERT_EQ(ctx->GetProperty(GP_FONT_2, &v), 0u);
  c_GUIB_Font *copy = reinterpret_cast<c_GUIB_Font *>(v);
  EXPECT_NE(copy, mine);
  EXPECT_EQ(copy->FindGlyph(200), nullptr);
  EXPECT_NE(copy->FindGlyph('A'), nullptr);
  copy->Release();
  mine->Release();
}

TEST_F(ContextTest, WidgetRegistryAndIds) {
  c_GUIB_Widget *a = new c_GUIB_Widget(Params(0, 0, 4, 4));
  EXPECT_EQ(ctx->RegisterWidget(a), GUI_ERR_DUPLICATE);
  // A second widget with a taken id is not registered over the first, and
  // its end does not unregister the first.
  WidgetCreateParams p = Params(0, 0, 4, 4);
  p.id = a->GetId();
  c_GUIB_Widget *twin = new c_GUIB_Widget(p);
  for (int round = 0; round < 2; ++round) {
    c_GUIB_Widget *found = ctx->FindWidget(a->GetId());
    EXPECT_EQ(found, a) << round;
    EXPECT_EQ(a->RefCount(), 2) << round;  // the lookup's reference
    found->Release();
    if (round == 0) twin->Release();
  }
  const uint32_t id = a->GetId();
  a->Release();
  EXPECT_EQ(ctx->FindWidget(id), nullptr);
}

TEST_F(ContextTest, ImageRegistryKeepsCopies) {
  c_GUIB_Bitmap *first = new c_GUIB_Bitmap(2, 2);
  c_GUIB_Bitmap *second = new c_GUIB_Bitmap(3, 1);
  second->SetColor(0xFF445566);
  second->FillArea(0, 0, 3, 1);
  ASSERT_EQ(ctx->RegisterImage(7, first), 0u);
  ASSERT_EQ(ctx->RegisterImage(7, second), 0u);  // replaces the first
  EXPECT_EQ(first->RefCount(), 1);
  EXPECT_EQ(second->RefCount(), 1);
  c_GUIB_Bitmap *got = nullptr;
  ASSERT_EQ(ctx->GetImage(7, &got), 0u);
  EXPECT_NE(got, second);
  EXPECT_EQ(got->Width(), 3u);
  EXPECT_EQ(got->GetPixel(2, 0), 0xFF445566u);
  EXPECT_EQ(got->RefCount(), 2);
  got->Release();
  EXPECT_EQ(ctx->GetImage(8, &got), GUI_ERR_NOT_FOUND);
  EXPECT_EQ(got, nullptr);
  first->Release();
  second->Release();
}

TEST(GuiStartupTest, SecondStartSharesTheContextAndARestartIsFresh) {
  const uint32_t no_font[1] = {0};
  GuiContext *ctx = nullptr, *again = nullptr;
  ASSERT_EQ(GuiStartup(no_font, &ctx), 0u);
  EXPECT_EQ(GuiStartup(nullptr, &again), 1u);
  EXPECT_EQ(again, ctx);
  GuiShutdown();
  ASSERT_EQ(GuiStartup(no_font, &ctx), 0u);
  EXPECT_EQ(ctx->NewWidgetId(), 0x80000001u);
  GuiShutdown();
}
