#include "miconsymbol.h"

#include "micontemplate.h"

MIconSymbol::MIconSymbol(const MIconTemplate* iconTemplate)
    : m_template(iconTemplate)
{
}

int MIconSymbol::PatternNum() const
{
    return m_template ? m_template->PatternNum() : 0;
}

MDisplayPattern* MIconSymbol::PatternAt(int i) const
{
    return m_template ? m_template->PatternAt(i) : nullptr;
}

void MIconSymbol::SetCurrentPatternPtr(MDisplayPattern* pattern)
{
    for (int i = 0; i < PatternNum(); ++i) {
        if (PatternAt(i) == pattern) {
            m_current = i;
            return;
        }
    }
    m_current = 0;
}

MDisplayPattern* MIconSymbol::CurrentPattern() const
{
    return PatternAt(m_current);
}

int MIconSymbol::CurrentIndex() const
{
    return m_current;
}

void MIconSymbol::SetCurrentIndex(int index)
{
    m_current = (index >= 0 && index < PatternNum()) ? index : 0;
}

void MIconSymbol::SetTemplate(const MIconTemplate* iconTemplate)
{
    m_template = iconTemplate;
    SetCurrentIndex(m_current);
}
