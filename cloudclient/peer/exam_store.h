// The loopback exam service's data: accounts, the school structure (grades,
// subjects, classes, exams) and, per exam subject, the students and the
// uploaded per-question answers and scores. Everything is in memory and all
// texts are UTF-8. A test peer, not a product: it keeps what the client
// sends so that tests can see it arrived intact.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace exampeer {

// Where students are checked in: one subject of one exam at one school.
struct SubjectKey {
    std::string school, exam, subject;
    auto operator<=>(const SubjectKey&) const = default;
};

// Where answers and scores are uploaded: the same with the grade.
struct GradeSubjectKey {
    std::string school, exam, grade, subject;
    auto operator<=>(const GradeSubjectKey&) const = default;
};

struct AnswerUpload {
    std::string datetime, kproblem, zproblem;
};

struct ScoreUpload {
    std::string datetime, scores;
};

class ExamStore {
public:
    void AddAccount(const std::string& name, const std::string& pwd);
    bool Authenticate(const std::string& name, const std::string& pwd) const;

    // Returns true when the student was new and is now checked in.
    bool CheckInStudent(const SubjectKey& key, const std::string& studentnum);
    void AddAnswers(const GradeSubjectKey& key, AnswerUpload upload);
    size_t AddScores(const GradeSubjectKey& key, ScoreUpload upload);  // uploads so far

    size_t StudentCount(const SubjectKey& key) const;
    std::vector<AnswerUpload> Answers(const GradeSubjectKey& key) const;
    std::vector<ScoreUpload> Scores(const GradeSubjectKey& key) const;
    // The statistics text of one exam subject.
    std::string Statistics(const GradeSubjectKey& key) const;

    // School structure; ids count from 1, 0 means "not found".
    int AddGrade(const std::string& name);
    int AddSubject(int gradeId, const std::string& name);
    int AddClass(int gradeId, const std::string& name);
    int AddExam(const std::string& name, int gradeId);
    int ExamId(const std::string& name) const;
    bool AddExamClasses(int examId, const std::string& classIds);
    int AddExamSubject(int examId, int gradeId, const std::string& subject);
    // kind 'k' for the objective questions, 'z' for the subjective ones.
    bool AddExamProblems(int examId, int examSubjectId, char kind, const std::string& problems);
    bool AddExamScores(int examId, int examSubjectId, const std::string& scores);
    // "id:name" entries separated by ";".
    std::string Grades() const;
    std::string Subjects(int gradeId) const;
    std::string Classes(int gradeId) const;

private:
    struct Named {
        int id, parent;
        std::string name;
    };
    struct Exam {
        int id, gradeId;
        std::string name, classIds;
    };
    struct ExamSubject {
        int id, examId, gradeId;
        std::string name, kproblem, zproblem;
        std::vector<std::string> scores;
    };
    static int Add(std::vector<Named>& list, int parent, const std::string& name);
    static std::string List(const std::vector<Named>& list, std::optional<int> parent);
    ExamSubject* FindExamSubject(int examId, int examSubjectId);

    mutable std::mutex mutex_;
    std::map<std::string, std::string> accounts_;
    std::map<SubjectKey, std::vector<std::string>> students_;
    std::map<GradeSubjectKey, std::vector<AnswerUpload>> answers_;
    std::map<GradeSubjectKey, std::vector<ScoreUpload>> scores_;
    std::vector<Named> grades_, subjects_, classes_;
    std::vector<Exam> exams_;
    std::vector<ExamSubject> examSubjects_;
};

}  // namespace exampeer
