#pragma once

namespace nerova {

class Notebook;
class PageFields;

// Adds the sub-pages of the Test page that follow "Flows" to notebook, their fields
// collected in fields.
void addTestSubPages(Notebook& notebook, PageFields& fields);

} // namespace nerova
