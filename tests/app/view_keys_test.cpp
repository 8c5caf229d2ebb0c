// The keys: the window program's mode keys, shared by both programs, and
// the viewer's own, with the title that shows the modes.
#include "app/view_keys.h"

#include <gtest/gtest.h>

#include <string>

#include "app/mode_keys.h"
#include "render/render_context.h"

namespace {

struct Modes {
    int32_t frontFace, polygonMode, shadeModel;
    bool operator==(const Modes& o) const
    {
        return frontFace == o.frontFace && polygonMode == o.polygonMode &&
               shadeModel == o.shadeModel;
    }
};

Modes Of(const RenderContext& c)
{
    return {c.frontFace, c.polygonMode, c.shadeModel};
}

class Keys : public ::testing::Test {
protected:
    Keys()
    {
        c.frontFace = RC_CCW;
        c.polygonMode = RC_FILL;
        c.shadeModel = RC_GOURAUD;
    }
    RenderContext c;
};

TEST_F(Keys, EachModeKeyStoresItsOneMode)
{
    const struct {
        unsigned char key;
        Modes after;
    } cases[] = {
        {'z', {RC_CW, RC_FILL, RC_GOURAUD}},  {'a', {RC_CCW, RC_FILL, RC_GOURAUD}},
        {'w', {RC_CCW, RC_LINE, RC_GOURAUD}}, {'s', {RC_CCW, RC_FILL, RC_GOURAUD}},
        {'p', {RC_CCW, RC_FILL, RC_PHONG}},   {'f', {RC_CCW, RC_FILL, RC_FLAT}},
        {'c', {RC_CCW, RC_FILL, RC_CARTOON}}, {'g', {RC_CCW, RC_FILL, RC_GOURAUD}},
    };
    for (const auto& k : cases) {
        c.frontFace = k.key == 'a' ? RC_CW : RC_CCW;
        c.polygonMode = k.key == 's' ? RC_LINE : RC_FILL;
        c.shadeModel = k.key == 'g' ? RC_FLAT : RC_GOURAUD;
        EXPECT_TRUE(ApplyModeKey(k.key, c)) << k.key;
        EXPECT_TRUE(Of(c) == k.after) << k.key;
    }
}

TEST_F(Keys, OtherKeysAreNoModeKeysAndUpperCaseLettersDoNothing)
{
    for (const unsigned char key : {'A', 'Z', 'S', 'W', 'P', 'G', 'F', 'C', 'x', 'q', '0', '5'}) {
        EXPECT_FALSE(ApplyModeKey(key, c)) << key;
        EXPECT_EQ(ViewKeyCommand(key, c), ViewCommand::kNone) << key;
    }
    EXPECT_TRUE(Of(c) == (Modes{RC_CCW, RC_FILL, RC_GOURAUD}));
}

TEST_F(Keys, TheViewersOwnKeysNameTheirCommandsAndModeKeysARedraw)
{
    EXPECT_EQ(ViewKeyCommand(27, c), ViewCommand::kQuit);
    EXPECT_EQ(ViewKeyCommand(' ', c), ViewCommand::kTogglePause);
    EXPECT_EQ(ViewKeyCommand('+', c), ViewCommand::kFaster);
    EXPECT_EQ(ViewKeyCommand('=', c), ViewCommand::kFaster);
    EXPECT_EQ(ViewKeyCommand('-', c), ViewCommand::kSlower);
    EXPECT_EQ(ViewKeyCommand('r', c), ViewCommand::kResetView);
    EXPECT_EQ(ViewKeyCommand('o', c), ViewCommand::kSave);
    EXPECT_EQ(ViewKeyCommand('h', c), ViewCommand::kHelp);
    EXPECT_EQ(ViewKeyCommand('c', c), ViewCommand::kRedraw);
    EXPECT_EQ(c.shadeModel, RC_CARTOON);
}

TEST_F(Keys, OneToFourShowTheDepthOverdrawFacesAndStagesViews)
{
    const PipelineView views[] = {PipelineView::kDepth, PipelineView::kOverdraw,
                                  PipelineView::kFaces, PipelineView::kStages};
    for (int k = 0; k < 4; ++k) {
        const auto key = static_cast<unsigned char>('1' + k);
        EXPECT_EQ(ViewKeyCommand(key, c), ViewCommand::kToggleView) << key;
        EXPECT_EQ(ViewOfKey(key), views[k]) << key;
    }
    for (const unsigned char key : {'0', '5', 'd'})
        EXPECT_FALSE(ViewOfKey(key)) << key;
    EXPECT_TRUE(Of(c) == (Modes{RC_CCW, RC_FILL, RC_GOURAUD}));
}

TEST_F(Keys, TheTitleNamesTheFileTheShadeModelAndTheMode)
{
    EXPECT_EQ(ViewTitle("teapot.ply", c), "zbuffer-view: teapot.ply (gouraud, fill)");
    ViewKeyCommand('w', c);
    ViewKeyCommand('p', c);
    EXPECT_EQ(ViewTitle("scan.obj", c), "zbuffer-view: scan.obj (phong, line)");
    EXPECT_EQ(ViewTitle("scan.obj", c, PipelineView::kOverdraw),
              "zbuffer-view: scan.obj (phong, line, overdraw view)");
}

TEST(ShadeModelNames, NameAndParseTheFourModelsBothWays)
{
    for (const int32_t model : {RC_FLAT, RC_GOURAUD, RC_PHONG, RC_CARTOON}) {
        int32_t parsed = RC_REPLACE;
        EXPECT_TRUE(ParseShadeModel(ShadeModelName(model), parsed));
        EXPECT_EQ(parsed, model);
    }
    int32_t kept = RC_PHONG;
    EXPECT_FALSE(ParseShadeModel("Phong", kept));
    EXPECT_FALSE(ParseShadeModel("replace", kept));
    EXPECT_EQ(kept, RC_PHONG);
    EXPECT_STREQ(ShadeModelName(RC_REPLACE), "replace");
}

}  // namespace
