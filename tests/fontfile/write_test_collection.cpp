// Writes faces.ttc into the working folder, for the orvane-info test: three faces
// ("Face A", "Face B", "Face C") whose second face's name table lies past the end
// of the file.
#include <fstream>
#include <string>

#include "font_builder.h"

int main() {
  std::vector<SfntFont> fonts;
  for (const char16_t* family : {u"Face A", u"Face B", u"Face C"})
    fonts.push_back(SfntFont{}.Add("OS/2", Os2Table()).Add("name",
                                                           BuildNameTable(NameTable{}.Add(1, family))));
  std::string ttc = BuildCollection(fonts);
  uint32_t second = 0;
  if (!ReadU32BE(ViewOf(ttc), 12, 4, second)) return 1;
  SetU32BE(ttc, second + DirectoryOffsetField(1), 0xFFFFFFF0u);
  std::ofstream out("faces.ttc", std::ios::binary);
  out << ttc;
  return out.good() ? 0 : 1;
}
