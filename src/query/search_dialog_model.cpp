#include "query/search_dialog_model.h"

#include "query/text_match.h"

namespace klango::query {

namespace {

bool blank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

}  // namespace

SearchDialogModel::SearchDialogModel(SearchCriteria criteria, Start start)
    : m_criteria(std::move(criteria)), m_start(std::move(start)) {
    // Both kinds filled (an edited settings file): the field terms win, as the search decides.
    if (!blank(m_criteria.group) || !blank(m_criteria.album) || !blank(m_criteria.title)) {
        if (!blank(m_criteria.text)) m_textEnabled = false;
    } else if (!blank(m_criteria.text)) {
        m_termsEnabled = false;
    }
}

std::string& SearchDialogModel::slot(Field field) {
    switch (field) {
        case Field::Group:
            return m_criteria.group;
        case Field::Album:
            return m_criteria.album;
        case Field::Title:
            return m_criteria.title;
        case Field::Text:
            break;
    }
    return m_criteria.text;
}

const std::string& SearchDialogModel::value(Field field) const {
    return const_cast<SearchDialogModel*>(this)->slot(field);
}

void SearchDialogModel::setValue(Field field, const std::string& text) {
    if (!fieldEnabled(field)) return;
    std::string v = foldCase(text);
    const size_t width = field == Field::Text ? kTextWidth : kTermWidth;
    if (v.size() > width) v.resize(width);
    slot(field) = v;
    changed();
}

bool SearchDialogModel::fieldEnabled(Field field) const {
    if (m_started) return false;
    return field == Field::Text ? m_textEnabled : m_termsEnabled;
}

void SearchDialogModel::leave(Field field) {
    if (field == Field::Text) {
        m_termsEnabled = blank(m_criteria.text);
    } else if (!blank(value(field))) {
        m_criteria.text.clear();
        m_textEnabled = false;
    }
    changed();
}

void SearchDialogModel::setLink1(bool oder) {
    m_criteria.andOr1 = oder ? kOr : kAnd;
    changed();
}

void SearchDialogModel::setLink2(bool oder) {
    m_criteria.andOr2 = oder ? kOr : kAnd;
    changed();
}

void SearchDialogModel::clear() {
    if (!canClear()) return;
    m_criteria.group.clear();
    m_criteria.album.clear();
    m_criteria.title.clear();
    m_criteria.text.clear();
    m_textEnabled = m_termsEnabled = true;
    changed();
}

void SearchDialogModel::start() {
    if (!canStart()) return;
    m_started = true;
    changed();
    if (m_start) m_start(*this);
    m_running = false;
    requestClose();
}

void SearchDialogModel::abort() {
    if (m_running) {
        m_stop = true;
        changed();
        return;
    }
    if (!m_started) requestClose();
}

void SearchDialogModel::setProgress(const std::string& file, long position, long total) {
    m_file = file;
    m_position = position;
    m_total = total;
    changed();
}

}  // namespace klango::query
