#include <Noctavi/UI/Strings.h>

#include <Noctavi/Utility/LrcCatalogue.h>

namespace UI {

QString LoadString(unsigned int id)
{
    return QString::fromStdWString(LrcCatalogue::LoadString(id));
}

} // namespace UI
