#include "ui/design/frmAbout_design.h"

#include "core/identity.h"

namespace velnor::frmAbout_design {
namespace {

using design::Colour;
using design::ControlDesign;
using design::LineDesign;
using enum design::ControlKind;

constexpr std::array<ControlDesign, ControlCount> MakeControls() {
    std::array<ControlDesign, ControlCount> c{};
    c[cmdOK] = {.name = "cmdOK",
                .kind = Button,
                .caption = "确定",
                .place = {4125, 2625, 1500, 345},
                .defaultButton = true,
                .cancelButton = true};
    c[cmdSysInfo] = {.name = "cmdSysInfo",
                     .kind = Button,
                     .caption = "系统信息(&S)...",
                     .place = {4140, 3075, 1485, 345}};
    c[Label5] = {.name = "Label5",
                 .caption = "作者:Velnor 开发组",
                 .place = {270, 1200, 810, 180},
                 .autoSize = true};
    c[Label6] = {.name = "Label6",
                 .caption = "主页:https://velnor.example.org",
                 .place = {270, 1440, 1530, 180},
                 .autoSize = true};
    c[Label7] = {.name = "Label7",
                 .caption = "邮箱:dev@velnor.example.org",
                 .place = {270, 1680, 1935, 255}};
    c[Label8] = {.name = "Label8", .caption = "2005-8-28", .place = {270, 2040, 2055, 255}};
    c[lblTitle] = {.name = "lblTitle",
                   .caption = "应用程序标题",
                   .place = {240, 240, 3885, 480},
                   .textColour = Colour{0, 0, 0}};
    c[lblVersion] = {.name = "lblVersion", .caption = "版本", .place = {240, 780, 3885, 225}};
    return c;
}

constexpr std::array<ControlDesign, ControlCount> Table = MakeControls();

constexpr std::array<LineDesign, 2> Lines{{
    {.fromX = 105, .y = 2460, .toX = 5654, .colour = {255, 255, 255}, .widthPixels = 2},
    {.fromX = 90, .y = 2445, .toX = 5654, .colour = {128, 128, 128}, .widthPixels = 1},
}};

} // namespace

std::span<const design::ControlDesign, ControlCount> Controls() {
    return Table;
}

std::span<const design::LineDesign, 2> Line1() {
    return Lines;
}

std::string LoadedCaption() {
    return "关于 " + LoadedTitle();
}

std::string LoadedTitle() {
    return identity::ApplicationTitle;
}

std::string LoadedVersion() {
    return "版本 " + std::to_string(identity::VersionMajor) + "." +
           std::to_string(identity::VersionMinor) + "." + std::to_string(identity::VersionRevision);
}

} // namespace velnor::frmAbout_design
