#pragma once

namespace nerova {

class Notebook;
class PageFields;

// Adds the eleven sub-pages of the Pump page to notebook, their fields collected in fields.
void addPumpSubPages(Notebook& notebook, PageFields& fields);

} // namespace nerova
