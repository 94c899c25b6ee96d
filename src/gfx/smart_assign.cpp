#include "gfx/smart_assign.h"

namespace gfx {

void SmartAssign(const ui::TPersistent& Src, ui::TPersistent& Dst, TTypeKinds TypeKinds,
                 const TAssignObject& AssignObject) {
  using ui::TypeKind;
  for (const ui::PropInfo* from : ui::PublishedProps(Src)) {
    if ((TypeKinds & TypeKindBit(from->kind)) == 0) continue;
    const ui::PropInfo* to = ui::FindProp(Dst, from->name);
    if (to == nullptr || to->kind != from->kind) continue;
    switch (from->kind) {
      case TypeKind::Class: {
        ui::TPersistent* source = from->getObj(Src);
        ui::TPersistent* target = to->getObj(Dst);
        if (source == nullptr || target == nullptr || source == target) break;
        if (AssignObject)
          AssignObject(*target, *source);
        else
          SmartAssign(*source, *target, TypeKinds);
        break;
      }
      case TypeKind::String:
        if (to->setStr) to->setStr(Dst, from->getStr(Src));
        break;
      case TypeKind::Float:
        if (to->setFloat) to->setFloat(Dst, from->getFloat(Src));
        break;
      case TypeKind::Variant:
        if (to->setVar) to->setVar(Dst, from->getVar(Src));
        break;
      default:
        if (to->setOrd) to->setOrd(Dst, from->getOrd(Src));
    }
  }
}

}  // namespace gfx
