// The requests that open every session, made once the connection is up: they belong to the connection,
// the users and the news, which meet here.
#include "client/app/CMyApplication.h"
#include "client/connection/CMyLoginTask.h"
#include "client/news/CMyNewsTasks.h"
#include "client/users/CMyUserTasks.h"

void CMyApplication::StartSessionTasks()
{
    new CMyLoginTask(mSession.UserLogin(), mSession.UserPassword());
    new CMyGetOnlineUsersTask();
    new CMyGetNewsTask();
}
