#include "exam_store.h"

#include <algorithm>

namespace exampeer {

using Lock = std::lock_guard<std::mutex>;

void ExamStore::AddAccount(const std::string& name, const std::string& pwd) {
    Lock lock(mutex_);
    accounts_[name] = pwd;
}

bool ExamStore::Authenticate(const std::string& name, const std::string& pwd) const {
    Lock lock(mutex_);
    auto it = accounts_.find(name);
    return it != accounts_.end() && it->second == pwd;
}

bool ExamStore::CheckInStudent(const SubjectKey& key, const std::string& studentnum) {
    Lock lock(mutex_);
    auto& list = students_[key];
    if (std::find(list.begin(), list.end(), studentnum) != list.end()) return false;
    list.push_back(studentnum);
    return true;
}

void ExamStore::AddAnswers(const GradeSubjectKey& key, AnswerUpload upload) {
    Lock lock(mutex_);
    answers_[key].push_back(std::move(upload));
}

size_t ExamStore::AddScores(const GradeSubjectKey& key, ScoreUpload upload) {
    Lock lock(mutex_);
    auto& list = scores_[key];
    list.push_back(std::move(upload));
    return list.size();
}

size_t ExamStore::StudentCount(const SubjectKey& key) const {
    Lock lock(mutex_);
    auto it = students_.find(key);
    return it == students_.end() ? 0 : it->second.size();
}

std::vector<AnswerUpload> ExamStore::Answers(const GradeSubjectKey& key) const {
    Lock lock(mutex_);
    auto it = answers_.find(key);
    return it == answers_.end() ? std::vector<AnswerUpload>{} : it->second;
}

std::vector<ScoreUpload> ExamStore::Scores(const GradeSubjectKey& key) const {
    Lock lock(mutex_);
    auto it = scores_.find(key);
    return it == scores_.end() ? std::vector<ScoreUpload>{} : it->second;
}

std::string ExamStore::Statistics(const GradeSubjectKey& key) const {
    size_t students = StudentCount({key.school, key.exam, key.subject});
    size_t answers = Answers(key).size();
    size_t scores = Scores(key).size();
    return "学校=" + key.school + ";考试=" + key.exam + ";年级=" + key.grade + ";科目=" + key.subject +
           ";考生=" + std::to_string(students) + ";小题=" + std::to_string(answers) +
           ";成绩=" + std::to_string(scores);
}

int ExamStore::Add(std::vector<Named>& list, int parent, const std::string& name) {
    int id = static_cast<int>(list.size()) + 1;
    list.push_back({id, parent, name});
    return id;
}

std::string ExamStore::List(const std::vector<Named>& list, std::optional<int> parent) {
    std::string out;
    for (const auto& entry : list) {
        if (parent && entry.parent != *parent) continue;
        if (!out.empty()) out += ';';
        out += std::to_string(entry.id) + ":" + entry.name;
    }
    return out;
}

int ExamStore::AddGrade(const std::string& name) {
    Lock lock(mutex_);
    return Add(grades_, 0, name);
}

int ExamStore::AddSubject(int gradeId, const std::string& name) {
    Lock lock(mutex_);
    if (gradeId < 1 || gradeId > static_cast<int>(grades_.size())) return 0;
    return Add(subjects_, gradeId, name);
}

int ExamStore::AddClass(int gradeId, const std::string& name) {
    Lock lock(mutex_);
    if (gradeId < 1 || gradeId > static_cast<int>(grades_.size())) return 0;
    return Add(classes_, gradeId, name);
}

int ExamStore::AddExam(const std::string& name, int gradeId) {
    Lock lock(mutex_);
    if (gradeId < 1 || gradeId > static_cast<int>(grades_.size())) return 0;
    int id = static_cast<int>(exams_.size()) + 1;
    exams_.push_back({id, gradeId, name, {}});
    return id;
}

int ExamStore::ExamId(const std::string& name) const {
    Lock lock(mutex_);
    for (const auto& exam : exams_)
        if (exam.name == name) return exam.id;
    return 0;
}

bool ExamStore::AddExamClasses(int examId, const std::string& classIds) {
    Lock lock(mutex_);
    if (examId < 1 || examId > static_cast<int>(exams_.size())) return false;
    auto& ids = exams_[examId - 1].classIds;
    if (!ids.empty() && !classIds.empty()) ids += ',';
    ids += classIds;
    return true;
}

int ExamStore::AddExamSubject(int examId, int gradeId, const std::string& subject) {
    Lock lock(mutex_);
    if (examId < 1 || examId > static_cast<int>(exams_.size()) || exams_[examId - 1].gradeId != gradeId)
        return 0;
    int id = static_cast<int>(examSubjects_.size()) + 1;
    examSubjects_.push_back({id, examId, gradeId, subject, {}, {}, {}});
    return id;
}

ExamStore::ExamSubject* ExamStore::FindExamSubject(int examId, int examSubjectId) {
    if (examSubjectId < 1 || examSubjectId > static_cast<int>(examSubjects_.size())) return nullptr;
    ExamSubject& subject = examSubjects_[examSubjectId - 1];
    return subject.examId == examId ? &subject : nullptr;
}

bool ExamStore::AddExamProblems(int examId, int examSubjectId, char kind, const std::string& problems) {
    Lock lock(mutex_);
    ExamSubject* subject = FindExamSubject(examId, examSubjectId);
    if (subject == nullptr) return false;
    (kind == 'k' ? subject->kproblem : subject->zproblem) = problems;
    return true;
}

bool ExamStore::AddExamScores(int examId, int examSubjectId, const std::string& scores) {
    Lock lock(mutex_);
    ExamSubject* subject = FindExamSubject(examId, examSubjectId);
    if (subject == nullptr) return false;
    subject->scores.push_back(scores);
    return true;
}

std::string ExamStore::Grades() const {
    Lock lock(mutex_);
    return List(grades_, std::nullopt);
}

std::string ExamStore::Subjects(int gradeId) const {
    Lock lock(mutex_);
    return List(subjects_, gradeId);
}

std::string ExamStore::Classes(int gradeId) const {
    Lock lock(mutex_);
    return List(classes_, gradeId);
}

}  // namespace exampeer
