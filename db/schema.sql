-- The tables and the ClientBals view of a new Vantrel data file.
-- Columns stand in the order the program's writers insert them.
PRAGMA journal_mode = DELETE;

CREATE TABLE tb_Client (
  CustNum INTEGER PRIMARY KEY,
  Lname TEXT COLLATE NOCASE, Fname TEXT COLLATE NOCASE, Mname TEXT COLLATE NOCASE,
  Address1 TEXT COLLATE NOCASE, Address2 TEXT COLLATE NOCASE, City TEXT COLLATE NOCASE,
  State TEXT COLLATE NOCASE, ZipCode TEXT COLLATE NOCASE, HomePhone TEXT COLLATE NOCASE,
  WorkPhone TEXT COLLATE NOCASE, CelPhone TEXT COLLATE NOCASE, Fax TEXT COLLATE NOCASE,
  Company TEXT COLLATE NOCASE, Email TEXT COLLATE NOCASE, Webpage TEXT COLLATE NOCASE,
  Notes TEXT COLLATE NOCASE,
  BillLname TEXT COLLATE NOCASE, BillFname TEXT COLLATE NOCASE, BillMname TEXT COLLATE NOCASE,
  BillAddress1 TEXT COLLATE NOCASE, BillAddress2 TEXT COLLATE NOCASE, BillCity TEXT COLLATE NOCASE,
  BillState TEXT COLLATE NOCASE, BillZipcode TEXT COLLATE NOCASE, BillHomePhone TEXT COLLATE NOCASE,
  BillWorkPhone TEXT COLLATE NOCASE, BillCelPhone TEXT COLLATE NOCASE, BillFax TEXT COLLATE NOCASE,
  BillEmail TEXT COLLATE NOCASE, BillWebpage TEXT COLLATE NOCASE,
  CardNum1 TEXT COLLATE NOCASE, CardNum2 TEXT COLLATE NOCASE,
  PaymentType1 TEXT COLLATE NOCASE, PaymentType2 TEXT COLLATE NOCASE,
  expdate1 TEXT COLLATE NOCASE, expdate2 TEXT COLLATE NOCASE,
  POnum TEXT COLLATE NOCASE,
  Discount REAL NOT NULL DEFAULT 0,
  ShipLname TEXT COLLATE NOCASE, ShipFname TEXT COLLATE NOCASE, shipMname TEXT COLLATE NOCASE,
  shipAddress1 TEXT COLLATE NOCASE, shipAddress2 TEXT COLLATE NOCASE, ShipCity TEXT COLLATE NOCASE,
  ShipState TEXT COLLATE NOCASE, ShipZipcode TEXT COLLATE NOCASE, ShipHomePhone TEXT COLLATE NOCASE,
  ShipCelPhone TEXT COLLATE NOCASE, ShipWorkphone TEXT COLLATE NOCASE
);

CREATE TABLE tb_Invoice (
  InvoiceNum INTEGER PRIMARY KEY,
  CustNum INTEGER,
  [Date] DATETIME,
  Description TEXT COLLATE NOCASE,
  discount REAL NOT NULL DEFAULT 0,
  tax CURRENCY,
  shippingcharge CURRENCY,
  shippingdate DATETIME,
  shippingtype TEXT COLLATE NOCASE,
  trackingnum TEXT COLLATE NOCASE,
  interest CURRENCY,
  SalesRep TEXT COLLATE NOCASE,
  Terms TEXT COLLATE NOCASE
);
-- Leads with the client; carries the date and the amounts so the balances
-- (view and per client) never touch the rows.
CREATE INDEX ix_Invoice_CustNum ON tb_Invoice(CustNum, [Date], discount, shippingcharge, interest, tax);
CREATE INDEX ix_Invoice_Date ON tb_Invoice([Date]);

CREATE TABLE tb_trans (
  TransNum INTEGER PRIMARY KEY,
  InvoiceNum INTEGER,
  ItemNum INTEGER,
  Qty INTEGER,
  Amount CURRENCY,
  Notes TEXT COLLATE NOCASE,
  Backorder INTEGER,
  Ordered DATETIME
);
-- Amount rides along so line sums are read from the index alone, and the
-- item and quantity so item sales are too; lines are listed by an explicit
-- order, never by this index's.
CREATE INDEX ix_trans_InvoiceNum ON tb_trans(InvoiceNum, Amount, ItemNum, Qty);
CREATE INDEX ix_trans_ItemNum ON tb_trans(ItemNum);

CREATE TABLE tb_Receive (
  TransNum INTEGER PRIMARY KEY,
  CustNum INTEGER,
  Type TEXT COLLATE NOCASE,
  CheckNum TEXT COLLATE NOCASE,
  [Date] DATETIME,
  [Amount] CURRENCY,
  Notes TEXT COLLATE NOCASE
);
CREATE INDEX ix_Receive_CustNum ON tb_Receive(CustNum, [Date], [Amount]);
-- Payments are listed by date, then number: this index walks that order.
CREATE INDEX ix_Receive_Date ON tb_Receive([Date]);

CREATE TABLE tb_Inventory (
  ItemNum INTEGER PRIMARY KEY,
  CatNum INTEGER,
  Description TEXT COLLATE NOCASE,
  charge CURRENCY,
  par INTEGER,
  instock INTEGER,
  warranty TEXT COLLATE NOCASE
);
CREATE INDEX ix_Inventory_CatNum ON tb_Inventory(CatNum);

CREATE TABLE tb_InvCategories (
  CatNum INTEGER PRIMARY KEY,
  Description TEXT COLLATE NOCASE
);

CREATE TABLE tb_Vendor (
  VendorNum INTEGER PRIMARY KEY,
  Company TEXT COLLATE NOCASE,
  Address1 TEXT COLLATE NOCASE, Address2 TEXT COLLATE NOCASE, City TEXT COLLATE NOCASE,
  State TEXT COLLATE NOCASE, ZipCode TEXT COLLATE NOCASE, Phone TEXT COLLATE NOCASE,
  CelPhone TEXT COLLATE NOCASE, Fax TEXT COLLATE NOCASE, Email TEXT COLLATE NOCASE,
  Webpage TEXT COLLATE NOCASE, Notes TEXT COLLATE NOCASE, POnum TEXT COLLATE NOCASE,
  Discount REAL NOT NULL DEFAULT 0
);

CREATE TABLE tb_GL (
  TransNum INTEGER PRIMARY KEY,
  [Date] DATETIME,
  CheckNum TEXT COLLATE NOCASE,
  Vendor TEXT COLLATE NOCASE,
  Payment CURRENCY,
  Cleared BOOLEAN,
  Category TEXT COLLATE NOCASE,
  Deposit CURRENCY,
  Notes TEXT COLLATE NOCASE
);
CREATE INDEX ix_GL_Vendor ON tb_GL(Vendor);
CREATE INDEX ix_GL_Date ON tb_GL([Date], CheckNum);

CREATE TABLE tb_Company (
  Name TEXT COLLATE NOCASE,
  Address1 TEXT COLLATE NOCASE, Address2 TEXT COLLATE NOCASE, City TEXT COLLATE NOCASE,
  State TEXT COLLATE NOCASE, Zipcode TEXT COLLATE NOCASE, phone TEXT COLLATE NOCASE,
  Fax TEXT COLLATE NOCASE, website TEXT COLLATE NOCASE,
  statetaxrate REAL
);

CREATE TABLE tb_PaymentTypes (type TEXT COLLATE NOCASE);
CREATE TABLE tb_ExpenseTypes (type TEXT COLLATE NOCASE);
CREATE TABLE tb_Shipping (service TEXT COLLATE NOCASE, [option] TEXT COLLATE NOCASE, charge CURRENCY);

-- Balance by the rule of the client-balance member as of today (a row
-- counts once its day has come, the whole of today included), to the
-- ten-thousandth: each amount is taken to four places, each
-- invoice total is rounded to four places halves to even, and so is the
-- balance, as the member does. Only clients who owe at least a cent as
-- shown are listed. Each side is summed once per client in a grouped
-- subquery and joined, rather than asked per client: a correlated form
-- rescans the line sums for every client. Invoices and payments without a
-- client row fall out of the joins.
CREATE VIEW ClientBals AS
SELECT CustNum, Fullname, B / 10000.0 AS Balance FROM (
 SELECT CustNum, Fullname, (CAST(V AS INTEGER) + CASE WHEN abs(V - CAST(V AS INTEGER)) > 0.5 THEN (CASE WHEN V < 0 THEN -1 ELSE 1 END) WHEN abs(V - CAST(V AS INTEGER)) = 0.5 THEN CAST(V AS INTEGER) % 2 ELSE 0 END) AS B FROM (
  SELECT c.CustNum AS CustNum,
   (IFNULL(c.Lname,'') || ', ' || IFNULL(c.Fname,'')) COLLATE NOCASE AS Fullname,
   (IFNULL(s.Sales,0) / 10000.0 - IFNULL(p.Paid,0)) * 10000.0 AS V
  FROM tb_Client c
  LEFT JOIN (SELECT CustNum, sum((CAST(T AS INTEGER) + CASE WHEN abs(T - CAST(T AS INTEGER)) > 0.5 THEN (CASE WHEN T < 0 THEN -1 ELSE 1 END) WHEN abs(T - CAST(T AS INTEGER)) = 0.5 THEN CAST(T AS INTEGER) % 2 ELSE 0 END)) AS Sales FROM (
              SELECT CustNum,
               (((L - L * (D / 100.0)) + S) + I + X) * 10000.0 AS T FROM (
                SELECT CustNum, D, (CAST(Lv AS INTEGER) + CASE WHEN abs(Lv - CAST(Lv AS INTEGER)) > 0.5 THEN (CASE WHEN Lv < 0 THEN -1 ELSE 1 END) WHEN abs(Lv - CAST(Lv AS INTEGER)) = 0.5 THEN CAST(Lv AS INTEGER) % 2 ELSE 0 END) / 10000.0 AS L, (CAST(Sv AS INTEGER) + CASE WHEN abs(Sv - CAST(Sv AS INTEGER)) > 0.5 THEN (CASE WHEN Sv < 0 THEN -1 ELSE 1 END) WHEN abs(Sv - CAST(Sv AS INTEGER)) = 0.5 THEN CAST(Sv AS INTEGER) % 2 ELSE 0 END) / 10000.0 AS S,
                       (CAST(Iv AS INTEGER) + CASE WHEN abs(Iv - CAST(Iv AS INTEGER)) > 0.5 THEN (CASE WHEN Iv < 0 THEN -1 ELSE 1 END) WHEN abs(Iv - CAST(Iv AS INTEGER)) = 0.5 THEN CAST(Iv AS INTEGER) % 2 ELSE 0 END) / 10000.0 AS I, (CAST(Xv AS INTEGER) + CASE WHEN abs(Xv - CAST(Xv AS INTEGER)) > 0.5 THEN (CASE WHEN Xv < 0 THEN -1 ELSE 1 END) WHEN abs(Xv - CAST(Xv AS INTEGER)) = 0.5 THEN CAST(Xv AS INTEGER) % 2 ELSE 0 END) / 10000.0 AS X FROM (
                 SELECT i.CustNum AS CustNum, IFNULL(i.discount,0) AS D,
                        IFNULL(l.L,0) * 10000.0 AS Lv, IFNULL(i.shippingcharge,0) * 10000.0 AS Sv,
                        IFNULL(i.interest,0) * 10000.0 AS Iv, IFNULL(i.tax,0) * 10000.0 AS Xv
                 FROM tb_Invoice i
                 LEFT JOIN (SELECT InvoiceNum, sum(Amount) AS L FROM tb_trans GROUP BY InvoiceNum) l
                        ON l.InvoiceNum = i.InvoiceNum
                 WHERE i.Date > '1981-01-01 00:00:00'
                   AND i.Date < datetime('now','localtime','start of day','+1 day'))))
            GROUP BY CustNum) s ON s.CustNum = c.CustNum
  LEFT JOIN (SELECT CustNum, sum(Amount) AS Paid FROM tb_Receive
             WHERE Date < datetime('now','localtime','start of day','+1 day')
             GROUP BY CustNum) p ON p.CustNum = c.CustNum))
WHERE B >= 50;
