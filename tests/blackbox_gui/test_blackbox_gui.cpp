// m2dcheck over folders of GUI data: a window holding a nine-slice tile, a
// styled button, a label and an animated tile whose frames come from an
// enumeration, read back and extended by a script through the GUI script
// functions; and folders whose GUI data or script fails.
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "test_support.h"

using m2dtest::BuildPath;
using m2dtest::ContainsLine;
using m2dtest::ContainsLines;
using m2dtest::ProcResult;
using m2dtest::ReadLines;
using m2dtest::RunProcess;
using m2dtest::WriteFile;

namespace {

struct SRes {
  std::string id, type, file, bytes;
};

// A 32-bit TGA of one colour.
std::string SolidTGA(int fp_iSize, std::uint32_t fp_uARGB) {
  std::string tmp_str(18, '\0');
  tmp_str[2] = 2;
  tmp_str[12] = static_cast<char>(fp_iSize);
  tmp_str[14] = static_cast<char>(fp_iSize);
  tmp_str[16] = 32;
  tmp_str[17] = 0x28;
  for (int i = 0; i < fp_iSize * fp_iSize; ++i)
    for (int b = 0; b < 4; ++b) tmp_str.push_back(static_cast<char>((fp_uARGB >> (8 * b)) & 0xFF));
  return tmp_str;
}

std::string FontDesc() {
  std::string tmp_str =
      "<fontdesc id=\"FNT_A\" textureid=\"TEX_FONT\" techniqueid=\"TEQ_FONT\" "
      "techpackid=\"TP_MAIN\" cellsize=\"16\" tag=\"1\"";
  for (int c = 0; c < 256; ++c) tmp_str += " cs" + std::to_string(c) + "=\"10\"";
  return tmp_str + "/>";
}

// The resources every folder starts with, in catalogue (and load) order.
std::vector<SRes> BaseResources() {
  return {
      {"TEX_FRAME", "TEXTURE", "frame.tga", SolidTGA(32, 0xFF203040u)},
      {"TEX_BTN_N", "TEXTURE", "btn_n.tga", SolidTGA(16, 0xFF808080u)},
      {"TEX_BTN_P", "TEXTURE", "btn_p.tga", SolidTGA(16, 0xFF404040u)},
      {"TEX_FONT", "TEXTURE", "font.tga", SolidTGA(16, 0xFFFFFFFFu)},
      {"TP_MAIN", "TECHNIQUE", "main.tp",
       "<techniquespack><t id=\"TEQ_FONT\" tag=\"1\" alphablending=\"ON\" absrc=\"SRCALPHA\" "
       "abdest=\"INVSRCALPHA\"/></techniquespack>"},
      {"FNT_A", "FONT", "a.fnt", FontDesc()},
      {"ENUM_FRAMES", "GUIENUMDATA", "frames.dat",
       "<guienum f0=\"TEX_BTN_N\" f1=\"TEX_BTN_P\" f2=\"TEX_FRAME\"/>"},
      {"STYLE_BTN", "GUISTYLEDATA", "btn.dat",
       "<guistyle texture=\"TEX_BTN_N\" texture_pressed=\"TEX_BTN_P\" drawscheme=\"4\" "
       "drawparams=\"16 16 4 4\" childscolor_pressed=\"0 0 1 1\"/>"},
  };
}

const char* const kScreen =
    "<desktop>\n"
    "  <window id=\"W_MAIN\" coords=\"0 0 300 200\" location_shown=\"100 50\" "
    "time_showhide=\"0.5\" enabled=\"1\">\n"
    "    <tile id=\"T_FRAME\" coords=\"0 0 300 200\" texture=\"TEX_FRAME\" drawscheme=\"4\" "
    "drawparams=\"32 32 8 8\" visible=\"1\"/>\n"
    "    <button id=\"B_OK\" coords=\"20 60 80 30\" style=\"STYLE_BTN\" drawscheme=\"1\" "
    "visible=\"1\" enabled=\"1\"/>\n"
    "    <label id=\"L_TITLE\" coords=\"10 10 200 20\" font=\"FNT_A\" text=\"Hello GUI\" "
    "alignment=\"2\" visible=\"1\"/>\n"
    "    <animtile id=\"A_SPIN\" coords=\"0 0 8 8\" enum_frames=\"ENUM_FRAMES\" "
    "time_animcycle=\"2\" looped=\"1\" visible=\"1\" enabled=\"1\"/>\n"
    "  </window>\n"
    "</desktop>\n";

// Reads what the data set, builds two elements and logs everything.
const char* const kScript = R"(
local function log(...)
  local s = "GUI:"
  for i = 1, select("#", ...) do s = s .. " " .. tostring((select(i, ...))) end
  M2D_LOG_AddEntry(s)
end
log("window", M2DGUI_GetElementID("W_MAIN"), M2DGUI_GetElementParam("W_MAIN", "location_shown"))
log("showhide", M2DGUI_GetElementParam("W_MAIN", "time_showhide"))
log("frame", M2DGUI_GetElementParam("T_FRAME", "drawscheme"), M2DGUI_GetElementParam("T_FRAME", "drawparams"))
log("button", M2DGUI_GetElementParam("B_OK", "drawscheme"), M2DGUI_GetElementParam("B_OK", "drawparams"))
log("pressed colour", M2DGUI_GetElementParam("B_OK", "childscolor_pressed"))
local tn = M2DGUI_GetElementParam("B_OK", "texture")
local ts = M2DGUI_GetElementParam("B_OK", "texture_selected")
local tp = M2DGUI_GetElementParam("B_OK", "texture_pressed")
log("button textures", tn >= 0, tn ~= tp, ts == tn)
log("label", M2DGUI_GetElementParam("L_TITLE", "text"), M2DGUI_GetElementParam("L_TITLE", "alignment"),
    M2DGUI_GetElementParam("L_TITLE", "font") >= 0)
log("anim", M2DGUI_GetElementParam("A_SPIN", "time_animcycle"), M2DGUI_GetElementParam("A_SPIN", "looped"))
local b = M2DGUI_AddNewElement("button", "B_SCRIPT", "W_MAIN")
M2DGUI_SetElementParam(b, "coords", 120, 60, 64, 32)
M2DGUI_SetElementParam("B_SCRIPT", "color", 1, 0.5, 0.25, 1)
M2DGUI_SetElementParam("B_SCRIPT", "texture", "TEX_BTN_N")
M2DGUI_SetElementParam("B_SCRIPT", "visible", true)
local l = M2DGUI_AddNewElement("label", "L_SCRIPT", M2DGUI_GetElementID("B_SCRIPT"))
M2DGUI_SetElementParam(l, "text", "made by a script")
M2DGUI_SetElementParam("L_SCRIPT", "alignment", 7)
M2DGUI_SetElementParam("W_MAIN", "location_shown", 8, 16)
log("added", b, M2DGUI_GetElementID("B_SCRIPT"), l)
log("script button", M2DGUI_GetElementParam("B_SCRIPT", "coords"))
log("script colour", M2DGUI_GetElementParam(b, "color"))
log("script label", M2DGUI_GetElementParam("L_SCRIPT", "text"), M2DGUI_GetElementParam("L_SCRIPT", "alignment"))
log("moved", M2DGUI_GetElementParam("W_MAIN", "location_shown"))
M2DGUI_ExecuteElementCommand("B_SCRIPT", 2)
M2DGUI_ExecuteElementCommand("L_TITLE", 2, 1.5)
log("after commands", M2DGUI_GetElementParam("B_SCRIPT", "visible"), M2DGUI_GetElementParam("L_TITLE", "visible"))
log("missing", M2DGUI_GetElementID("NOT_THERE"))
)";

class BlackBoxGuiTest : public m2dtest::TempDirTest {
 protected:
  // DATA/main.xml cataloguing fp_vRes in order, and their files.
  void WriteData(const std::vector<SRes>& fp_vRes) {
    std::string tmp_strXml = "<respack>\n";
    for (const SRes& r : fp_vRes) {
      tmp_strXml += "  <res id=\"" + r.id + "\" typeid=\"" + r.type + "\" filename=\"" + r.file +
                    "\" tag=\"1\" data1=\"0\" data2=\"1\" data3=\"0\"/>\n";
      WriteFile(Dir() + "/DATA/" + r.file, r.bytes);
    }
    WriteFile(Dir() + "/DATA/main.xml", tmp_strXml + "</respack>\n");
  }
  ProcResult Check() { return RunProcess({BuildPath("m2dcheck"), Dir()}, Dir(), {}, 30000); }
  std::vector<std::string> Log() const { return ReadLines(Dir() + "/gamelog.txt"); }
};

}  // namespace

TEST_F(BlackBoxGuiTest, AScreenLoadsAndAScriptReadsAndExtendsIt) {
  std::vector<SRes> tmp_vRes = BaseResources();
  tmp_vRes.push_back({"GUI_MAIN", "GUIDATA", "main.dat", kScreen});
  tmp_vRes.push_back({"SCR_CHECK", "SCRIPT", "check.lua", kScript});
  WriteData(tmp_vRes);
  const ProcResult r = Check();
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(ContainsLines(
      Log(), {
                 "GUI: window 1 100 50",
                 "GUI: showhide 0.5",
                 "GUI: frame 4 32 32 8 8",
                 // The attribute after the style overrides it; the rest is the style's.
                 "GUI: button 1 16 16 4 4",
                 "GUI: pressed colour 0 0 1 1",
                 // "texture" fills in the selected look before "texture_pressed" is set.
                 "GUI: button textures true true true",
                 "GUI: label Hello GUI 2 true",
                 "GUI: anim 2 true",
                 // DESKTOP, the five elements of the data, then the script's.
                 "GUI: added 6 6 7",
                 "GUI: script button 120 60 64 32",
                 "GUI: script colour 1 0.5 0.25 1",
                 // An alignment out of 1 to 3 becomes 1.
                 "GUI: script label made by a script 1",
                 "GUI: moved 8 16",
                 // The delayed command waits in the queue.
                 "GUI: after commands false true",
                 "GUI: missing -1",
             }))
      << m2dtest::ReadFile(Dir() + "/gamelog.txt");
  EXPECT_TRUE(ContainsLine(Log(), "   +: 10 resources with Tag = 0 loaded."));
}

TEST_F(BlackBoxGuiTest, BadGuiDataOrScriptCallsEndTheCheckWithTheirError) {
  const struct {
    const char* name;
    SRes res;
    const char* error;
  } kCases[] = {
      {"unknown class",
       {"GUI_BAD", "GUIDATA", "bad.dat",
        "<desktop><window id=\"W\" coords=\"0 0 10 10\"><slider id=\"S_1\"/></window></desktop>"},
       "Cannot add GUI element: invalid class! Class ID = slider Element ID = S_1"},
      {"style that is no style",
       {"GUI_BAD", "GUIDATA", "bad.dat", "<desktop><tile id=\"T\" style=\"ENUM_FRAMES\"/></desktop>"},
       "Cannot find GUISTYLE data! ID = ENUM_FRAMES"},
      {"wrong root",
       {"GUI_BAD", "GUIDATA", "bad.dat", "<Desktop><tile id=\"T\"/></Desktop>"},
       "Cannot load GUI data from XML file: invalid root node name!"},
      // The script's own pcall does not swallow the failure.
      {"argument type",
       {"SCR_BAD", "SCRIPT", "bad.lua",
        "pcall(M2DGUI_AddNewElement, 5, 'X', 0)\nM2D_LOG_AddEntry('after pcall')\n"},
       "Error in glue function: glue_M2DGUI_AddNewElement.Invalid argument type. Index = 1"},
      {"argument combination",
       {"SCR_BAD", "SCRIPT", "bad.lua",
        "local id = M2DGUI_AddNewElement('tile', 'T', 0)\n"
        "M2DGUI_SetElementParam(id, 'coords', 1, 2, 3)\n"},
       "Error in glue function glue_M2DGUI_SetElementParam: invalid combination of arguments!"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<SRes> tmp_vRes = BaseResources();
    tmp_vRes.push_back(c.res);
    WriteData(tmp_vRes);
    ::unlink((Dir() + "/gamelog.txt").c_str());
    const ProcResult r = Check();
    EXPECT_EQ(r.exitCode, 1) << r.err;
    const std::vector<std::string> tmp_vLog = Log();
    EXPECT_TRUE(ContainsLine(tmp_vLog, std::string(" !!!: Error desc: ") + c.error))
        << m2dtest::ReadFile(Dir() + "/gamelog.txt");
    EXPECT_FALSE(ContainsLine(tmp_vLog, "after pcall"));
  }
}
