#include "ui/design/frmMain_design.h"

namespace velnor::frmMain_design {
namespace {

using design::Colour;
using design::ControlDesign;
using enum design::ControlKind;

constexpr Colour LightGrey{224, 224, 224};
constexpr const char* SixtyCells = "||||||||||||||||||||||||||||||||||||||||||||||||||||||||||||";

constexpr std::array<ControlDesign, ControlCount> MakeControls() {
    std::array<ControlDesign, ControlCount> c{};
    c[Label3] = {.name = "Label3",
                 .kind = Label,
                 .caption = "    在选择目录中设置你要压缩的网页位置,根据你的需要设置压缩项目,"
                            "建议一定要选中备份,最后点执行开始压缩代码",
                 .place = {240, 240, 6015, 375},
                 .wordWrap = true};
    c[Folders] = {.name = "选择文件目录",
                  .kind = Frame,
                  .caption = "选择文件目录",
                  .place = {240, 840, 3375, 3975}};
    c[Drive1] = {
        .name = "Drive1", .kind = DriveList, .container = Folders, .place = {240, 360, 2895, 300}};
    c[Dir1] = {.name = "Dir1",
               .kind = DirectoryList,
               .container = Folders,
               .place = {240, 720, 2895, 3030}};
    c[Frame1] = {
        .name = "Frame1", .kind = Frame, .caption = "设置", .place = {3720, 840, 2415, 3975}};
    c[Label1] = {.name = "Label1",
                 .kind = Label,
                 .container = Frame1,
                 .caption = "应用文件",
                 .place = {240, 360, 975, 255}};
    c[Text1] = {.name = "Text1",
                .kind = TextBox,
                .container = Frame1,
                .caption = "htm|html|asp",
                .place = {240, 600, 1935, 735}};
    c[Label2] = {.name = "Label2",
                 .kind = Label,
                 .container = Frame1,
                 .caption = "采取措施",
                 .place = {240, 1560, 855, 255}};
    c[Check1] = {.name = "Check1",
                 .kind = CheckBox,
                 .container = Frame1,
                 .caption = "把多余空格删除",
                 .place = {240, 1800, 1935, 255},
                 .ticked = true};
    c[Check2] = {.name = "Check2",
                 .kind = CheckBox,
                 .container = Frame1,
                 .caption = "把多余换行符删除",
                 .place = {240, 2040, 1935, 255},
                 .ticked = true};
    c[Check4] = {.name = "Check4",
                 .kind = CheckBox,
                 .container = Frame1,
                 .caption = "备份到bak文件夹",
                 .place = {240, 2640, 1935, 255},
                 .ticked = true};
    c[Command1] = {
        .name = "Command1", .kind = Button, .caption = "开始压缩", .place = {6360, 960, 1215, 495}};
    c[Command2] = {.name = "Command2",
                   .kind = Button,
                   .caption = "还原备份",
                   .place = {6360, 1560, 1215, 495}};
    c[Command3] = {.name = "Command3",
                   .kind = Button,
                   .caption = "关于程序",
                   .place = {6360, 2160, 1215, 495}};
    c[lbstate] = {
        .name = "lbstate", .caption = "准备就绪", .place = {240, 4920, 720, 180}, .autoSize = true};
    c[Label12] = {
        .name = "Label12", .caption = "压缩", .place = {240, 5280, 360, 180}, .autoSize = true};
    c[sp2] = {.name = "sp2",
              .caption = SixtyCells,
              .place = {720, 5280, 5400, 180},
              .autoSize = true,
              .textColour = Colour{255, 0, 0},
              .backColour = LightGrey};
    c[Label10] = {
        .name = "Label10", .caption = "压缩成", .place = {6360, 5280, 540, 180}, .autoSize = true};
    c[yasuoLv] = {
        .name = "yasuoLv", .caption = "80%", .place = {6960, 5280, 270, 180}, .autoSize = true};
    c[Label9] = {
        .name = "Label9", .caption = "文件", .place = {240, 5520, 360, 180}, .autoSize = true};
    c[sp1] = {.name = "sp1",
              .caption = SixtyCells,
              .place = {720, 5520, 5400, 180},
              .autoSize = true,
              .textColour = Colour{0, 0, 255},
              .backColour = LightGrey};
    return c;
}

constexpr std::array<ControlDesign, ControlCount> Table = MakeControls();

} // namespace

std::span<const design::ControlDesign, ControlCount> Controls() {
    return Table;
}

} // namespace velnor::frmMain_design
