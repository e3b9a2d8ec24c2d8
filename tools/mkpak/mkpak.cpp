// mkpak: converts a data folder between the engine's two delivery modes.
//   mkpak pack SRC DST     XML mode (descriptors + loose files) -> one .pak per descriptor
//   mkpak unpack SRC DST   PAK mode -> a descriptor per pack, loose files in a subfolder
//
// Packs keep the descriptor's order, ids, type ids, tags and data1..3. XML
// resources are stored scrambled (CR LF made LF, then every byte XORed with
// 0xB3), as the engine expects them under its XML encrypt mode; all other
// bytes are stored as they are. Descriptors are read with the engine's own XML
// reader and checked the way the engine checks them, so a folder that mkpak
// accepts is one the engine can catalogue. All input is read and checked
// before anything is written; an error exits with status 1, bad usage with 2.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "Platform/os/os.h"
#include "cmorvane_ehs.h"
#include "cmorvane_res_cres.h"
#include "cmorvane_utils_xml.h"

namespace fs = std::filesystem;

namespace {

// Bad input: the message is printed after "mkpak: error: ".
struct CToolError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

constexpr unsigned char kScrambleKey = 0xB3;

// The type IDs whose resources are XML texts read through the XML reader.
bool IsXMLType(const std::string& fp_strTypeID) {
  static const char* const kXMLTypes[] = {"XMLDATA", "TECHNIQUE", "FONT", "PLAYLIST",
                                          "GUIDATA", "GUIENUMDATA", "GUISTYLEDATA"};
  for (const char* tmp_pszType : kXMLTypes) {
    if (fp_strTypeID == tmp_pszType) return true;
  }
  return false;
}

std::string Lower(std::string fp_str) {
  for (char& c : fp_str) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return fp_str;
}

std::string JoinPath(const std::string& fp_strFolder, const std::string& fp_strName) {
  if (fp_strFolder.empty()) return fp_strName;
  const char tmp_cLast = fp_strFolder.back();
  if (tmp_cLast == '/' || tmp_cLast == '\\') return fp_strFolder + fp_strName;
  return fp_strFolder + "/" + fp_strName;
}

// The whole file, or false when it is not a readable regular file.
bool ReadWholeFile(const std::string& fp_strPath, std::string* fp_pBytes) {
  std::error_code tmp_Error;
  if (!fs::is_regular_file(fp_strPath, tmp_Error)) return false;
  std::ifstream tmp_File(fp_strPath, std::ios::binary);
  if (!tmp_File) return false;
  std::ostringstream tmp_Stream;
  tmp_Stream << tmp_File.rdbuf();
  if (tmp_File.bad()) return false;
  *fp_pBytes = tmp_Stream.str();
  return true;
}

void WriteWholeFile(const std::string& fp_strPath, const std::string& fp_strBytes) {
  std::ofstream tmp_File(fp_strPath, std::ios::binary | std::ios::trunc);
  tmp_File.write(fp_strBytes.data(), static_cast<std::streamsize>(fp_strBytes.size()));
  tmp_File.close();
  if (!tmp_File) throw CToolError("cannot write " + fp_strPath);
}

std::string Scramble(const std::string& fp_strPlain) {
  std::string tmp_strOut;
  tmp_strOut.reserve(fp_strPlain.size());
  for (size_t i = 0; i < fp_strPlain.size(); ++i) {
    if (fp_strPlain[i] == '\r' && i + 1 < fp_strPlain.size() && fp_strPlain[i + 1] == '\n') continue;
    tmp_strOut.push_back(static_cast<char>(static_cast<unsigned char>(fp_strPlain[i]) ^ kScrambleKey));
  }
  return tmp_strOut;
}

std::string Descramble(const std::string& fp_strScrambled) {
  std::string tmp_strOut(fp_strScrambled);
  for (char& c : tmp_strOut) c = static_cast<char>(static_cast<unsigned char>(c) ^ kScrambleKey);
  return tmp_strOut;
}

void PutInt(std::string* fp_pOut, std::int32_t fp_iValue) {
  const std::uint32_t tmp_uValue = static_cast<std::uint32_t>(fp_iValue);
  for (int i = 0; i < 4; ++i) fp_pOut->push_back(static_cast<char>((tmp_uValue >> (8 * i)) & 0xFF));
}

// Folder names with or without the trailing separator, spelled as on disk.
std::string ResolveFolder(const std::string& fp_strFolder) {
  return os::ResolvePath(fp_strFolder.c_str());
}

bool SameFolder(const std::string& fp_strA, const std::string& fp_strB) {
  std::error_code tmp_Error;
  return fs::exists(fp_strB, tmp_Error) && fs::equivalent(fp_strA, fp_strB, tmp_Error);
}

// {==== pack ==================================================================

struct SPackedEntry {
  std::string strID;
  std::string typeID;
  std::int32_t tag = 0;
  std::int32_t data1 = 0;
  std::int32_t data2 = 0;
  std::int32_t data3 = 0;
  std::string bytes;
};

struct SPack {
  std::string outName;
  std::vector<SPackedEntry> entries;
};

std::string BuildPack(const SPack& fp_rPack) {
  // Directory first, then the bytes in entry order.
  std::int64_t tmp_iDirSize = 4;
  for (const SPackedEntry& tmp_rEntry : fp_rPack.entries)
    tmp_iDirSize += static_cast<std::int64_t>(tmp_rEntry.strID.size() + tmp_rEntry.typeID.size()) + 2 + 24;
  std::int64_t tmp_iOffset = tmp_iDirSize;
  std::string tmp_strOut;
  PutInt(&tmp_strOut, static_cast<std::int32_t>(fp_rPack.entries.size()));
  for (const SPackedEntry& tmp_rEntry : fp_rPack.entries) {
    const std::int64_t tmp_iEnd = tmp_iOffset + static_cast<std::int64_t>(tmp_rEntry.bytes.size());
    if (tmp_iEnd > 0x7FFFFFFF)
      throw CToolError(fp_rPack.outName + ": pack would exceed 2 GiB (offsets are 32-bit)");
    tmp_strOut += tmp_rEntry.strID;
    tmp_strOut.push_back('\0');
    tmp_strOut += tmp_rEntry.typeID;
    tmp_strOut.push_back('\0');
    PutInt(&tmp_strOut, static_cast<std::int32_t>(tmp_iOffset));
    PutInt(&tmp_strOut, static_cast<std::int32_t>(tmp_rEntry.bytes.size()));
    PutInt(&tmp_strOut, tmp_rEntry.tag);
    PutInt(&tmp_strOut, tmp_rEntry.data1);
    PutInt(&tmp_strOut, tmp_rEntry.data2);
    PutInt(&tmp_strOut, tmp_rEntry.data3);
    tmp_iOffset = tmp_iEnd;
  }
  for (const SPackedEntry& tmp_rEntry : fp_rPack.entries) tmp_strOut += tmp_rEntry.bytes;
  return tmp_strOut;
}

int Pack(const std::string& fp_strSrc, const std::string& fp_strDst) {
  const std::string tmp_strSrc = ResolveFolder(fp_strSrc);
  std::error_code tmp_Error;
  if (!fs::is_directory(tmp_strSrc, tmp_Error)) throw CToolError("no such folder: " + fp_strSrc);
  if (SameFolder(tmp_strSrc, fp_strDst))
    throw CToolError("source and destination are the same folder: " + fp_strSrc);

  const std::vector<std::string> tmp_vDescriptors = os::FindFiles(JoinPath(tmp_strSrc, "*.xml").c_str());
  if (tmp_vDescriptors.empty())
    throw CToolError("no resource pack descriptors (*.xml) in " + fp_strSrc);

  std::vector<SPack> tmp_vPacks;
  std::set<std::string> tmp_setIDs;
  std::set<std::string> tmp_setOutNames;
  size_t tmp_uResources = 0;
  for (const std::string& tmp_strName : tmp_vDescriptors) {
    const std::string tmp_strPath = JoinPath(tmp_strSrc, tmp_strName);
    CXMLDocument tmp_Doc;
    tmp_Doc.LoadFromFile(tmp_strPath.c_str(), false);
    tmp_Doc.Parse();
    CXMLNode* tmp_pRoot = tmp_Doc.GetRoot();
    if (tmp_pRoot == nullptr || std::strcmp(tmp_pRoot->GetName(), "respack") != 0)
      throw CToolError(tmp_strPath + ": not a resource pack descriptor (root element \"" +
                       (tmp_pRoot != nullptr ? tmp_pRoot->GetName() : "") +
                       "\", expected \"respack\")");

    SPack tmp_Pack;
    tmp_Pack.outName = tmp_strName.substr(0, tmp_strName.size() - 4) + ".pak";
    if (!tmp_setOutNames.insert(Lower(tmp_Pack.outName)).second)
      throw CToolError(tmp_strPath + ": another descriptor also becomes " + tmp_Pack.outName);

    for (int i = 0; i < tmp_pRoot->GetChildCount(); ++i) {
      CXMLNode* tmp_pNode = tmp_pRoot->GetChild(i);
      if (tmp_pNode == nullptr) continue;
      SPackedEntry tmp_Entry;
      tmp_Entry.strID = tmp_pNode->GetAttribute("id");
      tmp_Entry.typeID = tmp_pNode->GetAttribute("typeid");
      const std::string tmp_strWhere = tmp_strPath + ": resource " + std::to_string(i + 1);
      if (tmp_Entry.strID.empty()) throw CToolError(tmp_strWhere + ": no id");
      if (tmp_Entry.typeID.empty())
        throw CToolError(tmp_strWhere + " (" + tmp_Entry.strID + "): no typeid");
      if (!tmp_setIDs.insert(tmp_Entry.strID).second)
        throw CToolError(tmp_strWhere + ": duplicate id " + tmp_Entry.strID);

      const std::string tmp_strFile = tmp_pNode->GetAttribute("filename");
      if (tmp_strFile.empty())
        throw CToolError(tmp_strWhere + " (" + tmp_Entry.strID + "): no filename");
      const std::string tmp_strFilePath = os::ResolvePath(JoinPath(tmp_strSrc, tmp_strFile).c_str());
      std::string tmp_strBytes;
      if (!ReadWholeFile(tmp_strFilePath, &tmp_strBytes))
        throw CToolError(tmp_strWhere + " (" + tmp_Entry.strID + "): cannot read file " + tmp_strFile);
      if (IsXMLType(tmp_Entry.typeID)) tmp_strBytes = Scramble(tmp_strBytes);
      if (tmp_strBytes.empty())
        throw CToolError(tmp_strWhere + " (" + tmp_Entry.strID + "): file is empty: " + tmp_strFile);
      tmp_Entry.bytes = std::move(tmp_strBytes);

      tmp_Entry.tag = RES_ParseDecimal(tmp_pNode->GetAttribute("tag"));
      tmp_Entry.data1 = RES_ParseDecimal(tmp_pNode->GetAttribute("data1"));
      tmp_Entry.data2 = RES_ParseDecimal(tmp_pNode->GetAttribute("data2"));
      tmp_Entry.data3 = RES_ParseDecimal(tmp_pNode->GetAttribute("data3"));
      tmp_Pack.entries.push_back(std::move(tmp_Entry));
      ++tmp_uResources;
    }
    tmp_vPacks.push_back(std::move(tmp_Pack));
  }

  // Everything is read and checked; only now is DST touched.
  std::vector<std::string> tmp_vImages;
  for (const SPack& tmp_rPack : tmp_vPacks) tmp_vImages.push_back(BuildPack(tmp_rPack));
  fs::create_directories(fp_strDst, tmp_Error);
  const std::string tmp_strDst = ResolveFolder(fp_strDst);
  if (!fs::is_directory(tmp_strDst, tmp_Error)) throw CToolError("cannot create folder " + fp_strDst);
  if (!os::FindFiles(JoinPath(tmp_strDst, "*.xml").c_str()).empty())
    throw CToolError(fp_strDst + " holds descriptors (*.xml): the engine would read it in XML mode");
  for (size_t i = 0; i < tmp_vPacks.size(); ++i)
    WriteWholeFile(JoinPath(tmp_strDst, tmp_vPacks[i].outName), tmp_vImages[i]);

  std::printf("mkpak: %zu resources from %zu descriptors packed into %s\n", tmp_uResources,
              tmp_vPacks.size(), fp_strDst.c_str());
  return 0;
}

// }====

// {==== unpack ================================================================

// File name extension for a resource's bytes: XML and scripts by type, the
// rest by the signature of the common formats.
std::string GuessExtension(const std::string& fp_strTypeID, const std::string& fp_strBytes) {
  if (IsXMLType(fp_strTypeID)) return ".xml";
  if (fp_strTypeID == "SCRIPT") return ".lua";
  auto tmp_Has = [&](size_t fp_uAt, const char* fp_pszMagic) {
    const size_t tmp_uLen = std::strlen(fp_pszMagic);
    return fp_strBytes.size() >= fp_uAt + tmp_uLen &&
           fp_strBytes.compare(fp_uAt, tmp_uLen, fp_pszMagic) == 0;
  };
  if (tmp_Has(0, "\x89PNG")) return ".png";
  if (tmp_Has(0, "\xFF\xD8\xFF")) return ".jpg";
  if (tmp_Has(0, "DDS ")) return ".dds";
  if (tmp_Has(0, "BM")) return ".bmp";
  if (tmp_Has(0, "RIFF") && tmp_Has(8, "WAVE")) return ".wav";
  if (tmp_Has(0, "OggS")) return ".ogg";
  if (tmp_Has(0, "fLaC")) return ".flac";
  if (tmp_Has(0, "ID3")) return ".mp3";
  if (tmp_Has(0, "Extended Module:")) return ".xm";
  if (tmp_Has(0, "IMPM")) return ".it";
  if (tmp_Has(44, "SCRM")) return ".s3m";
  if (tmp_Has(1080, "M.K.")) return ".mod";
  if (tmp_Has(0, "MThd")) return ".mid";
  if (fp_strTypeID == "TEXTURE") return ".tga";  // the one image format without a signature
  return ".bin";
}

// A file name made of the id: characters that are not safe in a file name
// become "_".
std::string SafeName(const std::string& fp_strID) {
  std::string tmp_strOut;
  for (char c : fp_strID) {
    const bool tmp_bSafe = std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
    tmp_strOut.push_back(tmp_bSafe ? c : '_');
  }
  if (tmp_strOut.empty() || tmp_strOut[0] == '.') tmp_strOut.insert(tmp_strOut.begin(), '_');
  return tmp_strOut;
}

struct SUnpackedEntry {
  M2DPakEntry entry;
  std::string fileName;  // relative to DST
  std::string bytes;
};

struct SUnpacked {
  std::string descriptorName;
  std::string folder;
  std::vector<SUnpackedEntry> entries;
};

int Unpack(const std::string& fp_strSrc, const std::string& fp_strDst) {
  const std::string tmp_strSrc = ResolveFolder(fp_strSrc);
  std::error_code tmp_Error;
  if (!fs::is_directory(tmp_strSrc, tmp_Error)) throw CToolError("no such folder: " + fp_strSrc);
  if (SameFolder(tmp_strSrc, fp_strDst))
    throw CToolError("source and destination are the same folder: " + fp_strSrc);

  const std::vector<std::string> tmp_vPaks = os::FindFiles(JoinPath(tmp_strSrc, "*.pak").c_str());
  if (tmp_vPaks.empty()) throw CToolError("no pack files (*.pak) in " + fp_strSrc);

  std::vector<SUnpacked> tmp_vOut;
  std::set<std::string> tmp_setIDs;
  std::set<std::string> tmp_setDescriptors;
  size_t tmp_uResources = 0;
  for (const std::string& tmp_strName : tmp_vPaks) {
    const std::string tmp_strPath = JoinPath(tmp_strSrc, tmp_strName);
    M2DPakDirectory tmp_Dir;
    if (!RES_ReadPakDirectory(tmp_strPath.c_str(), &tmp_Dir))
      throw CToolError(tmp_strPath + ": cannot open pack");
    if (tmp_Dir.truncated)
      throw CToolError(tmp_strPath + ": the file ends inside its directory (" +
                       std::to_string(tmp_Dir.entries.size()) + " of " +
                       std::to_string(tmp_Dir.count) + " entries)");
    std::string tmp_strImage;
    if (!ReadWholeFile(tmp_strPath, &tmp_strImage)) throw CToolError(tmp_strPath + ": cannot read pack");

    SUnpacked tmp_Out;
    const std::string tmp_strBase = tmp_strName.substr(0, tmp_strName.size() - 4);
    tmp_Out.descriptorName = tmp_strBase + ".xml";
    tmp_Out.folder = SafeName(tmp_strBase);
    if (!tmp_setDescriptors.insert(Lower(tmp_Out.folder)).second ||
        !tmp_setDescriptors.insert(Lower(tmp_Out.descriptorName)).second)
      throw CToolError(tmp_strPath + ": another pack unpacks to the same names");

    std::set<std::string> tmp_setFiles;
    for (size_t i = 0; i < tmp_Dir.entries.size(); ++i) {
      const M2DPakEntry& tmp_rEntry = tmp_Dir.entries[i];
      const std::string tmp_strWhere = tmp_strPath + ": entry " + std::to_string(i + 1);
      if (tmp_rEntry.strID.empty()) throw CToolError(tmp_strWhere + ": empty id");
      if (tmp_rEntry.typeID.empty()) throw CToolError(tmp_strWhere + " (" + tmp_rEntry.strID + "): empty type id");
      // Attribute values cannot hold a double quote in the descriptor format.
      if (tmp_rEntry.strID.find('"') != std::string::npos || tmp_rEntry.typeID.find('"') != std::string::npos)
        throw CToolError(tmp_strWhere + ": id or type id holds a double quote");
      if (!tmp_setIDs.insert(tmp_rEntry.strID).second)
        throw CToolError(tmp_strWhere + ": duplicate id " + tmp_rEntry.strID);
      if (!RES_PakEntryInFile(tmp_rEntry, static_cast<std::int64_t>(tmp_strImage.size())))
        throw CToolError(tmp_strWhere + " (" + tmp_rEntry.strID + "): data lies outside the file");

      SUnpackedEntry tmp_Item;
      tmp_Item.entry = tmp_rEntry;
      tmp_Item.bytes = tmp_strImage.substr(static_cast<size_t>(tmp_rEntry.offset),
                                           static_cast<size_t>(tmp_rEntry.size));
      if (IsXMLType(tmp_rEntry.typeID)) tmp_Item.bytes = Descramble(tmp_Item.bytes);
      const std::string tmp_strStem = SafeName(tmp_rEntry.strID);
      const std::string tmp_strExt = GuessExtension(tmp_rEntry.typeID, tmp_Item.bytes);
      std::string tmp_strFile = tmp_strStem + tmp_strExt;
      for (int n = 2; !tmp_setFiles.insert(Lower(tmp_strFile)).second; ++n)
        tmp_strFile = tmp_strStem + "_" + std::to_string(n) + tmp_strExt;
      tmp_Item.fileName = tmp_Out.folder + "/" + tmp_strFile;
      tmp_Out.entries.push_back(std::move(tmp_Item));
      ++tmp_uResources;
    }
    tmp_vOut.push_back(std::move(tmp_Out));
  }

  fs::create_directories(fp_strDst, tmp_Error);
  const std::string tmp_strDst = ResolveFolder(fp_strDst);
  if (!fs::is_directory(tmp_strDst, tmp_Error)) throw CToolError("cannot create folder " + fp_strDst);
  for (const SUnpacked& tmp_rOut : tmp_vOut) {
    // Loose files go to a subfolder per pack: the engine takes every *.xml at
    // the top of the data folder for a descriptor.
    const std::string tmp_strFolder = JoinPath(tmp_strDst, tmp_rOut.folder);
    fs::create_directories(tmp_strFolder, tmp_Error);
    if (!fs::is_directory(tmp_strFolder, tmp_Error)) throw CToolError("cannot create folder " + tmp_strFolder);
    std::string tmp_strXML = "<?xml version=\"1.0\"?>\n<respack>\n";
    for (const SUnpackedEntry& tmp_rItem : tmp_rOut.entries) {
      WriteWholeFile(JoinPath(tmp_strDst, tmp_rItem.fileName), tmp_rItem.bytes);
      const M2DPakEntry& e = tmp_rItem.entry;
      tmp_strXML += "  <resource id=\"" + e.strID + "\" typeid=\"" + e.typeID + "\" filename=\"" +
                    tmp_rItem.fileName + "\" tag=\"" + std::to_string(e.tag) + "\" data1=\"" +
                    std::to_string(e.data1) + "\" data2=\"" + std::to_string(e.data2) +
                    "\" data3=\"" + std::to_string(e.data3) + "\"/>\n";
    }
    tmp_strXML += "</respack>\n";
    WriteWholeFile(JoinPath(tmp_strDst, tmp_rOut.descriptorName), tmp_strXML);
  }

  std::printf("mkpak: %zu resources from %zu packs unpacked into %s\n", tmp_uResources,
              tmp_vOut.size(), fp_strDst.c_str());
  return 0;
}

// }====

int Usage() {
  std::fprintf(stderr,
               "usage: mkpak pack SRC DST     descriptors and loose files in SRC -> packs in DST\n"
               "       mkpak unpack SRC DST   packs in SRC -> descriptors and loose files in DST\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return Usage();
  const std::string tmp_strCommand = argv[1];
  try {
    if (tmp_strCommand == "pack") return Pack(argv[2], argv[3]);
    if (tmp_strCommand == "unpack") return Unpack(argv[2], argv[3]);
    return Usage();
  } catch (const CToolError& e) {
    std::fprintf(stderr, "mkpak: error: %s\n", e.what());
  } catch (const CEHSException& e) {
    std::fprintf(stderr, "mkpak: error: %s\n", e.description.c_str());
  } catch (const char* e) {
    std::fprintf(stderr, "mkpak: error: %s\n", e);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mkpak: error: %s\n", e.what());
  }
  return 1;
}
