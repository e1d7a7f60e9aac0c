#include "printing/globaloffsets.h"

#include "store/datasource.h"
#include "text/numbers.h"

namespace printing {

double GlobalOffsets::horizontal() const { return text::leadingNumber(horizontalText); }

double GlobalOffsets::vertical() const { return text::roundHalfEven(text::leadingNumber(verticalText)); }

GlobalOffsets readGlobalOffsets(store::DataSource &dytj)
{
    dytj.moveFirst();
    return {dytj.text(kHorizontalOffsetColumn), dytj.text(kVerticalOffsetColumn)};
}

} // namespace printing
