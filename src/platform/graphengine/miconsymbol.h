#pragma once

class MDisplayPattern;
class MIconTemplate;

// The looks an icon object can take (its template's display patterns) and the
// one it shows now.
class MIconSymbol
{
public:
    explicit MIconSymbol(const MIconTemplate* iconTemplate = nullptr);

    int PatternNum() const;
    MDisplayPattern* PatternAt(int i) const;
    // The pattern to show; one of this symbol's patterns, or null for the first.
    void SetCurrentPatternPtr(MDisplayPattern* pattern);
    MDisplayPattern* CurrentPattern() const;
    int CurrentIndex() const;
    void SetCurrentIndex(int index);

    void SetTemplate(const MIconTemplate* iconTemplate);

private:
    const MIconTemplate* m_template; // not owned
    int m_current = 0;
};
