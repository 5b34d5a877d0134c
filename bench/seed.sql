-- A long sales history: 1,000 customers, 500 products, 100,000 sales.
INSERT INTO customers (ID, FirstName, SurName, Address, City, Telephone, Email, PersonalIDNo, Joined, ShippingAddress)
SELECT seq, CONCAT('Firstname', seq), CONCAT('Surname', seq), CONCAT(seq, ' Main Street'), 'BUD',
       '0612345678', CONCAT('customer', seq, '@example.com'), '1234567', '2008-03-05', CONCAT(seq, ' Harbour Road')
FROM seq_1_to_1000;

INSERT INTO products (ID, Description, UM, Quantity, Price, BarCode, LastDelivery)
SELECT seq, CONCAT('Product number ', seq, ' of the shop'), 'Pcs', 1000, 10 + seq / 4, CONCAT('599', seq), '2008-03-05'
FROM seq_1_to_500;

INSERT INTO turnover (ID, ProductID, Quantity, Price, PricewTax, Date, CustomerID)
SELECT seq, 1 + seq % 500, 1 + seq % 7, 12.5, 14.75, DATE '2008-03-05' + INTERVAL (seq % 1000) DAY, 1 + seq % 1000
FROM seq_1_to_100000;
